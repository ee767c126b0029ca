#include "table/Cells.h"
#include "table/CellOutput.h"
#include "table/ColDef.h"
#include "table/Enum.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>

using namespace Tavex;

namespace {

CDString Str(const char* s) {
    return CDString(s);
}

} // namespace

TEST(CellsTest, StringOrderIgnoresCaseAndPutsEmptyFirst) {
    CCellCompare compare;
    EXPECT_EQ(compare.Compare(Str("apple"), Str("Apple")), 0);
    EXPECT_EQ(compare.Compare(Str(""), Str("a")), -1);
    EXPECT_EQ(compare.Compare(Str("b"), Str("a")), 1);
    EXPECT_EQ(compare.Compare(Str("a"), Str("B")), -1);

    const CDString x = Str("x");
    EXPECT_TRUE(x.LessOrEqual(x));
    EXPECT_FALSE(x.Greater(x));
    EXPECT_TRUE(x.GreaterOrEqual(x));
    EXPECT_TRUE(x.Equal(Str("X")));
    EXPECT_FALSE(x.NotEqual(Str("X")));
    EXPECT_TRUE(Str("y").Greater(x));
    EXPECT_TRUE(x.NotEqual(Str("y")));
}

TEST(CellsTest, IntegerOrderIsSigned) {
    CCellCompare compare;
    EXPECT_EQ(compare.Compare(CDInt(-1), CDInt(0)), -1);
    EXPECT_EQ(compare.Compare(CDInt(5), CDInt(5)), 0);
    EXPECT_EQ(compare.Compare(CDInt(INT_MAX), CDInt(INT_MIN)), 1);
    EXPECT_TRUE(CDInt(3).LessOrEqual(CDInt(3)));
    EXPECT_FALSE(CDInt(3).Greater(CDInt(3)));
}

TEST(CellsTest, SetDoubleTruncatesTowardZero) {
    CDInt cell;
    cell.SetDouble(2.9);
    EXPECT_EQ(cell.GetInt(), 2);
    cell.SetDouble(-2.9);
    EXPECT_EQ(cell.GetInt(), -2);
    // Out of range and NaN would be undefined as a plain cast; they saturate or become 0.
    cell.SetDouble(1e12);
    EXPECT_EQ(cell.GetInt(), INT_MAX);
    cell.SetDouble(-1e12);
    EXPECT_EQ(cell.GetInt(), INT_MIN);
    cell.SetDouble(std::nan(""));
    EXPECT_EQ(cell.GetInt(), 0);
}

TEST(CellsTest, AccessorsOfEachCellKind) {
    CDString s;
    s.SetText("abc");
    EXPECT_STREQ(s.GetText(), "abc");
    s.SetText(nullptr);
    EXPECT_EQ(s.GetString(), "");
    s.SetString("def");
    s.SetInt(7); // not an integer cell: ignored
    EXPECT_EQ(s.GetString(), "def");
    EXPECT_EQ(s.GetInt(), 0);
    EXPECT_TRUE(s.NeedsDestruction());
    EXPECT_EQ(s.GetDate().m_status, CDateTime::kNull);

    CDInt i;
    i.SetString("12"); // not a string cell: ignored
    EXPECT_EQ(i.GetInt(), 0);
    EXPECT_EQ(i.GetText(), nullptr);
    EXPECT_FALSE(i.NeedsDestruction());

    CDString t;
    t.Assign(Str("copied"));
    EXPECT_EQ(t.GetString(), "copied");
}

TEST(CellsTest, FactoriesMakeDefaultCellsAndCloneWithoutValue) {
    CFAny<CDString> strings;
    EXPECT_EQ(strings.GetPrototype()->GetString(), "");
    EXPECT_EQ(strings.GetCellSize(), sizeof(CDString));
    strings.GetPrototype()->SetString("changed");
    std::unique_ptr<CCellFactory> clone(strings.Clone());
    EXPECT_EQ(clone->GetPrototype()->GetString(), "");

    CFAny<CDInt> ints;
    ints.GetPrototype()->SetInt(9);
    alignas(CDInt) unsigned char place[sizeof(CDInt)];
    CCellData* copy = ints.CopyConstruct(place, *ints.GetPrototype());
    EXPECT_EQ(copy->GetInt(), 9);
    copy->~CCellData();
}

TEST(CellsTest, EnumerationComparerUsesOrderNumbers) {
    CEnum e("low\nhigh");
    e->AddEntry(10, "first", "", -1, -5); // defined last, ordered first
    CEnumCompare compare(e);
    EXPECT_EQ(compare.Compare(CDInt(10), CDInt(0)), -1);
    EXPECT_EQ(compare.Compare(CDInt(1), CDInt(0)), 1);
    // Missing values take the error entry (order 0), so two of them tie, and tie with 0.
    EXPECT_EQ(compare.Compare(CDInt(99), CDInt(98)), 0);
    EXPECT_EQ(compare.Compare(CDInt(99), CDInt(0)), 0);
    std::unique_ptr<CCellCompare> clone(compare.Clone());
    EXPECT_EQ(clone->Compare(CDInt(10), CDInt(1)), -1);
    EXPECT_EQ(e->GetRefCount(), 3); // handle, comparer, clone
}

TEST(CellsTest, ColumnDefinitionsMakeMatchingObjects) {
    CStringCol strings;
    std::unique_ptr<CCellFactory> sf(strings.CreateFactory());
    EXPECT_EQ(sf->GetPrototype()->GetString(), "");
    std::unique_ptr<CCellOutput> so(strings.CreateOutput());
    EXPECT_EQ(so->GetFormat(), 35108u);

    CIntCol ints;
    std::unique_ptr<CCellOutput> io(ints.CreateOutput());
    EXPECT_EQ(io->GetFormat(), 35110u);
    EXPECT_EQ(io->GetTextColour(CDInt(-5), false), 0x0000FFu);

    CEnum e("a\nb");
    {
        CEnumCol imageOnly(e, 2, -1);
        std::unique_ptr<CCellOutput> eo(imageOnly.CreateOutput());
        EXPECT_EQ(eo->GetFormat(), 35109u);
        CEnumCol text(e, 1, -1);
        std::unique_ptr<CCellOutput> to(text.CreateOutput());
        EXPECT_EQ(to->GetFormat(), 35108u);
        std::unique_ptr<CCellCompare> compare(text.CreateCompare());
        EXPECT_EQ(compare->Compare(CDInt(1), CDInt(0)), 1);
        EXPECT_EQ(e->GetRefCount(), 6);
    }
    EXPECT_EQ(e->GetRefCount(), 1); // every user released it again
}
