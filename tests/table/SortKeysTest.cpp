#include "table/SortKeys.h"

#include "table/Cells.h"
#include "table/Enum.h"
#include "table/Table.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace Tavex;

namespace {

std::vector<std::pair<int, int>> Pairs(const CSortKeys& keys) {
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < keys.GetCount(); ++i)
        pairs.emplace_back(keys.GetColumn(i), keys.GetDirection(i));
    return pairs;
}

using P = std::vector<std::pair<int, int>>;

} // namespace

TEST(SortKeysTest, ConstructionStopsAtNegativeColumnAndSkipsNonKeys) {
    EXPECT_EQ(Pairs(CSortKeys{2, 0, 5, 2, 1, 1, -1, 3, 0}), (P{{2, 0}, {1, 1}}));
    EXPECT_EQ(Pairs(CSortKeys{-1}), P{});
    EXPECT_EQ(Pairs(CSortKeys{4}), P{}); // a column without direction is no key
    CSortKeys keys{1, 0, -1};
    keys.Assign({3, 1, -1});
    EXPECT_EQ(Pairs(keys), (P{{3, 1}}));
}

TEST(SortKeysTest, StateChangesKeepPriorities) {
    CSortKeys keys{2, 0, 0, 1, -1};
    EXPECT_EQ(keys.GetSortState(0), 1);
    EXPECT_EQ(keys.GetSortState(7), CSortKeys::kNotSorted);

    keys.SetSortState(2, 1); // replaced in place
    EXPECT_EQ(Pairs(keys), (P{{2, 1}, {0, 1}}));
    keys.SetSortState(5, 0); // appended
    EXPECT_EQ(Pairs(keys), (P{{2, 1}, {0, 1}, {5, 0}}));
    keys.SetSortState(0, 2); // removed
    EXPECT_EQ(Pairs(keys), (P{{2, 1}, {5, 0}}));
    keys.SetSortState(9, 2); // not a key: nothing
    EXPECT_EQ(keys.GetCount(), 2);

    keys.SetSortStateAt(5, 0, 0);
    EXPECT_EQ(Pairs(keys), (P{{5, 0}, {2, 1}}));
    keys.SetSortStateAt(7, 1, 99); // beyond the end means the end
    keys.SetSortStateAt(8, 0, -1);
    EXPECT_EQ(Pairs(keys), (P{{5, 0}, {2, 1}, {7, 1}, {8, 0}}));
    keys.SetSortStateAt(2, 2, 0);
    EXPECT_EQ(Pairs(keys), (P{{5, 0}, {7, 1}, {8, 0}}));
}

TEST(SortKeysTest, SortByKeysAndDirections) {
    CEnum kinds("b-kind\na-kind");
    CTable t;
    t.AddColumn(new CFAny<CDString>, new CCellCompare);
    t.AddColumn(new CFAny<CDInt>, new CCellCompare);
    t.AddColumn(new CFAny<CDInt>, new CEnumCompare(kinds));
    t.Build();
    struct R {
        const char* name;
        int score;
        int kind;
    };
    for (R r :
         {R{"Bob", 3, 1}, R{"alice", 3, 0}, R{"", 7, 1}, R{"carl", -1, 0}, R{"Alice", 5, 1}}) {
        CRow* row = t.AddRow();
        row->GetCell(0)->SetString(r.name);
        row->GetCell(1)->SetInt(r.score);
        row->GetCell(2)->SetInt(r.kind);
    }
    auto rows = [&t] {
        std::vector<std::string> out;
        for (int r = 0; r < t.GetRowCount(); ++r)
            out.push_back(t.GetCell(r, 0)->GetString() + ":" +
                          std::to_string(t.GetCell(r, 1)->GetInt()));
        return out;
    };
    using V = std::vector<std::string>;

    t.Sort(CSortKeys{1, 1, 0, 0, -1}); // score descending, then name ascending
    EXPECT_EQ(rows(), (V{":7", "Alice:5", "alice:3", "Bob:3", "carl:-1"}));
    t.Sort(CSortKeys{1, 0, 0, 1, -1}); // score ascending, then name descending
    EXPECT_EQ(rows(), (V{"carl:-1", "Bob:3", "alice:3", "Alice:5", ":7"}));
    t.Sort(CSortKeys{0, 1, 1, 0, -1}); // empty name last when descending; "alice" = "Alice"
    EXPECT_EQ(rows(), (V{"carl:-1", "Bob:3", "alice:3", "Alice:5", ":7"}));
    // By the enumeration's order (value 0 "b-kind" first), then score.
    t.Sort(CSortKeys{2, 0, 1, 0, -1});
    EXPECT_EQ(rows(), (V{"carl:-1", "alice:3", "Bob:3", "Alice:5", ":7"}));
    t.Sort(CSortKeys{}); // no key: order unchanged
    EXPECT_EQ(rows(), (V{"carl:-1", "alice:3", "Bob:3", "Alice:5", ":7"}));
}

TEST(SortKeysTest, KeysFollowTheDisplayPositionsOfTheirColumns) {
    // Column 0 shown left of column 2: a key added for column 0 becomes the primary key.
    CSortKeys keys{2, 0, -1};
    keys.SetSortState(0, 0);
    keys.OrderByDisplayPosition({0, 1, 2});
    EXPECT_EQ(Pairs(keys), (P{{0, 0}, {2, 0}}));
    // Column 0 shown right of column 2: it stays behind.
    CSortKeys other{2, 0, -1};
    other.SetSortState(0, 0);
    other.OrderByDisplayPosition({2, 1, 0});
    EXPECT_EQ(Pairs(other), (P{{2, 0}, {0, 0}}));
    // Several keys in reverse order are fully sorted, directions kept.
    CSortKeys many{3, 1, 2, 0, 1, 1, 0, 0, -1};
    many.OrderByDisplayPosition({0, 1, 2, 3});
    EXPECT_EQ(Pairs(many), (P{{0, 0}, {1, 1}, {2, 0}, {3, 1}}));
}
