#include "table/PrefixSearch.h"

#include "table/CellOutput.h"
#include "table/Cells.h"
#include "table/Table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Tavex;

namespace {

// An output that notes whose text was asked for, to see the order of the search.
class CLoggingOut : public CCellOutputCString {
public:
    CLoggingOut() : CCellOutputCString(0x8924) {}
    std::string GetText(const CCellData& cell) const override {
        m_asked.push_back(cell.GetString());
        return cell.GetString();
    }
    mutable std::vector<std::string> m_asked;
};

} // namespace

TEST(PrefixSearchTest, SearchesAfterTheRowThenWrapsAround) {
    CTable t;
    t.AddColumn(new CFAny<CDString>, new CCellCompare);
    t.Build();
    for (const char* s : {"r0", "r1", "r2", "r3", "r4"})
        t.AddRow()->GetCell(0)->SetString(s);
    CLoggingOut out;
    EXPECT_EQ(FindRowByPrefix(t, out, 0, "x", 2), -1);
    EXPECT_EQ(out.m_asked, (std::vector<std::string>{"r3", "r4", "r0", "r1"}));
    EXPECT_EQ(FindRowByPrefix(t, out, 0, "R1", 2), 1);
    EXPECT_EQ(FindRowByPrefix(t, out, 0, "r", -1), 0);
    EXPECT_EQ(FindRowByPrefix(t, out, 0, "r", 4), 0);
    EXPECT_EQ(FindRowByPrefix(t, out, 0, "r2", 2), -1); // the row itself is never examined
}

TEST(PrefixSearchTest, MatchesCaseInsensitivelyOverThePrefixOnly) {
    CTable t;
    t.AddColumn(new CFAny<CDString>, new CCellCompare);
    t.Build();
    for (const char* s : {"Kyle", "\xC4nakin", "Jan", ""})
        t.AddRow()->GetCell(0)->SetString(s);
    CLoggingOut out;
    EXPECT_EQ(FindRowByPrefix(t, out, 0, "\xE4n", -1), 1);
    EXPECT_EQ(FindRowByPrefix(t, out, 0, "an", -1), -1); // the accent counts
    EXPECT_EQ(FindRowByPrefix(t, out, 0, "KYLE", -1), 0);
    EXPECT_EQ(FindRowByPrefix(t, out, 0, "kyle katarn", -1), -1);
    EXPECT_EQ(FindRowByPrefix(t, out, 0, "", 0), 1);
    CTable empty;
    empty.AddColumn(new CFAny<CDString>, new CCellCompare);
    empty.Build();
    EXPECT_EQ(FindRowByPrefix(empty, out, 0, "a", -1), -1);
}
