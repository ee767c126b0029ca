#include "table/Table.h"

#include "table/Cells.h"
#include "table/SortKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Tavex;

namespace {

// Column 0: text, column 1: integer. Integer defaults to -7 so "default" is observable.
void BuildNameScore(CTable& t) {
    t.AddColumn(new CFAny<CDString>, new CCellCompare);
    auto* ints = new CFAny<CDInt>;
    ints->GetPrototype()->SetInt(-7);
    t.AddColumn(ints, new CCellCompare);
    t.Build();
}

CRow* Add(CTable& t, const std::string& name, int score) {
    CRow* row = t.AddRow();
    row->GetCell(0)->SetString(name);
    row->GetCell(1)->SetInt(score);
    return row;
}

std::vector<std::string> Names(CTable& t) {
    std::vector<std::string> names;
    for (int r = 0; r < t.GetRowCount(); ++r)
        names.push_back(t.GetCell(r, 0)->GetString());
    return names;
}

std::vector<int> Scores(CTable& t) {
    std::vector<int> scores;
    for (int r = 0; r < t.GetRowCount(); ++r)
        scores.push_back(t.GetCell(r, 1)->GetInt());
    return scores;
}

// A cell that counts its destructions; whether it asks for them is chosen per column.
int g_destroyed = 0;
template <bool kNeeds> class CDCounted : public CDInt {
public:
    CDCounted() = default;
    CDCounted(const CDCounted& other) : CDInt(other) {}
    ~CDCounted() override { ++g_destroyed; }
    bool NeedsDestruction() const override { return kNeeds; }
};

} // namespace

TEST(TableTest, ClearingDestroysCellsOnlyInColumnsThatNeedIt) {
    CTable t;
    t.AddColumn(new CFAny<CDCounted<true>>, new CCellCompare);
    t.AddColumn(new CFAny<CDCounted<false>>, new CCellCompare);
    t.Build();
    for (int i = 0; i < 130; ++i) // two blocks
        t.AddRow();
    g_destroyed = 0;
    t.DeleteRow(0); // a single row: every cell, then reset from the prototype
    EXPECT_EQ(g_destroyed, 2);
    g_destroyed = 0;
    t.DeleteAllRows(); // all records of both blocks, used or free, in the first column only
    EXPECT_EQ(g_destroyed, 2 * CTable::kRowsPerBlock);
    g_destroyed = 0;
    t.ClearLayout(); // the prototype row and the factories with their prototypes go too
    EXPECT_EQ(g_destroyed, 4);
}

TEST(TableTest, RowsComeFromBlocksOf127AndAreReusedLastInFirstOut) {
    CTable t;
    BuildNameScore(t);
    EXPECT_EQ(t.GetBlockCount(), 0);
    CRow* first = t.AddRow();
    EXPECT_EQ(t.GetBlockCount(), 1);
    EXPECT_EQ(t.GetFreeRowCount(), 126);
    for (int i = 1; i < 127; ++i)
        t.AddRow();
    EXPECT_EQ(t.GetBlockCount(), 1);
    EXPECT_EQ(t.GetFreeRowCount(), 0);
    t.AddRow(); // the 128th row opens a second block
    EXPECT_EQ(t.GetBlockCount(), 2);
    EXPECT_EQ(t.GetRowCount(), 128);
    // The first row taken from a block is its last record, the next one sits right below.
    EXPECT_EQ(reinterpret_cast<char*>(first) - reinterpret_cast<char*>(t.GetRow(1)),
              static_cast<std::ptrdiff_t>(t.GetRowSize()));

    // A deleted row is the next one reused, with default values and unselected.
    CRow* victim = t.GetRow(5);
    victim->GetCell(0)->SetString("a long text that surely lives on the heap");
    victim->GetCell(1)->SetInt(42);
    t.SelectRow(5, true);
    t.DeleteRow(5);
    EXPECT_EQ(t.GetRowCount(), 127);
    CRow* reused = t.AddRow();
    EXPECT_EQ(reused, victim);
    EXPECT_EQ(reused->GetCell(0)->GetString(), "");
    EXPECT_EQ(reused->GetCell(1)->GetInt(), -7);
    EXPECT_FALSE(reused->IsSelected());
    EXPECT_EQ(t.GetBlockCount(), 2);

    t.DeleteAllRows();
    EXPECT_EQ(t.GetRowCount(), 0);
    EXPECT_EQ(t.GetBlockCount(), 0);
    EXPECT_EQ(t.GetFreeRowCount(), 0);
    EXPECT_EQ(t.AddRow()->GetCell(1)->GetInt(), -7);
}

TEST(TableTest, InsertMoveAndCellPointersStayValid) {
    CTable t;
    BuildNameScore(t);
    for (const char* n : {"a", "b", "c", "d"})
        Add(t, n, 0);
    CCellData* cellOfC = t.GetCell(2, 0);

    t.MoveRow(1, 1);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"a", "b", "c", "d"}));
    t.MoveRow(0, 3); // first to the end
    EXPECT_EQ(Names(t), (std::vector<std::string>{"b", "c", "d", "a"}));
    t.MoveRow(3, 0); // and back
    EXPECT_EQ(Names(t), (std::vector<std::string>{"a", "b", "c", "d"}));
    t.MoveRow(3, 1);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"a", "d", "b", "c"}));

    t.InsertRow(0)->GetCell(0)->SetString("first");
    t.InsertRow(t.GetRowCount())->GetCell(0)->SetString("last");
    EXPECT_EQ(Names(t), (std::vector<std::string>{"first", "a", "d", "b", "c", "last"}));
    t.DeleteRow(1);
    t.Sort(CSortKeys{0, 1, -1});
    EXPECT_EQ(Names(t), (std::vector<std::string>{"last", "first", "d", "c", "b"}));
    EXPECT_EQ(cellOfC->GetString(), "c");
    EXPECT_EQ(t.GetCell(3, 0), cellOfC);
}

TEST(TableTest, FindRowSearchesAfterTheGivenRow) {
    CTable t;
    BuildNameScore(t);
    for (const char* n : {"x", "Y", "x", "z"})
        Add(t, n, 0);
    const CDString x("X");
    EXPECT_EQ(t.FindRow(0, &x, -1), 0);
    EXPECT_EQ(t.FindRow(0, &x, 0), 2);
    EXPECT_EQ(t.FindRow(0, &x, 2), -1);
    const CDString z("z");
    EXPECT_EQ(t.FindRow(0, &z, -1), 3); // the last row is examined too
    EXPECT_EQ(t.FindRow(0, &z, t.GetRowCount() - 1), -1);
    const CDInt zero(0);
    EXPECT_EQ(t.FindRow(1, &zero, 1), 2);
}

TEST(TableTest, LowerBoundFindsFirstNotLess) {
    CTable t;
    BuildNameScore(t);
    const CDInt five(5);
    EXPECT_EQ(t.LowerBound(1, &five), 0); // empty table
    for (int v : {1, 3, 5, 5, 9})
        Add(t, "", v);
    EXPECT_EQ(t.LowerBound(1, &five), 2);
    const CDInt zero(0);
    EXPECT_EQ(t.LowerBound(1, &zero), 0);
    const CDInt big(100);
    EXPECT_EQ(t.LowerBound(1, &big), 5);
    const CDInt nine(9);
    EXPECT_EQ(t.LowerBound(1, &nine), 4);
    const CDInt six(6);
    EXPECT_EQ(t.LowerBound(1, &six), 4);
}

TEST(TableTest, SelectionRangesToggleAndDeleteSelected) {
    CTable t;
    BuildNameScore(t);
    for (int i = 0; i < 8; ++i)
        Add(t, std::to_string(i), i);

    t.SelectRows(5, 3, true); // first > last changes nothing
    EXPECT_EQ(t.GetSelectedCount(), 0);
    t.SelectRows(2, 4, true);
    EXPECT_EQ(t.GetSelectedCount(), 3);
    EXPECT_TRUE(t.IsRowSelected(2));
    EXPECT_TRUE(t.IsRowSelected(4));
    EXPECT_FALSE(t.IsRowSelected(5));

    t.ToggleRows(0, 7);
    EXPECT_EQ(t.GetSelectedCount(), 5);
    t.ToggleRows(0, 7);
    EXPECT_EQ(t.GetSelectedCount(), 3);
    EXPECT_TRUE(t.IsRowSelected(3));

    t.DeleteSelectedRows();
    EXPECT_EQ(Scores(t), (std::vector<int>{0, 1, 5, 6, 7}));
    t.DeleteSelectedRows(); // none selected: nothing changes
    EXPECT_EQ(t.GetRowCount(), 5);
    t.SelectRows(0, 4, true);
    t.DeleteSelectedRows();
    EXPECT_EQ(t.GetRowCount(), 0);
}

TEST(TableTest, CopyStructureAndRows) {
    CTable source;
    BuildNameScore(source);
    Add(source, "one", 1)->SetSelected(true);
    Add(source, "two", 2);

    CTable copy;
    copy.CopyStructure(&source);
    EXPECT_EQ(copy.GetColumnCount(), 2);
    EXPECT_EQ(copy.GetRowCount(), 0);
    EXPECT_EQ(copy.AddRow()->GetCell(1)->GetInt(), 0); // clones have default prototypes

    copy.CopyRows(&source);
    EXPECT_EQ(Names(copy), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Scores(copy), (std::vector<int>{1, 2}));
    EXPECT_EQ(copy.GetSelectedCount(), 0); // the selection is not copied
    copy.GetCell(0, 0)->SetString("changed");
    EXPECT_EQ(source.GetCell(0, 0)->GetString(), "one");

    source.CopyStructure(&source); // with itself: nothing happens
    EXPECT_EQ(source.GetRowCount(), 2);
    source.CopyRows(&source);
    EXPECT_EQ(source.GetRowCount(), 2);

    CTable empty;
    empty.CopyStructure(&source);
    copy.CopyRows(&empty);
    EXPECT_EQ(copy.GetRowCount(), 0);

    copy.AddRow();
    EXPECT_EQ(copy.SetRowFrom(0, source.GetRow(1)), copy.GetRow(0));
    EXPECT_EQ(copy.GetCell(0, 0)->GetString(), "two");
    copy.InsertRowCopy(0, source.GetRow(0));
    EXPECT_EQ(Names(copy), (std::vector<std::string>{"one", "two"}));
}

TEST(TableTest, ColumnViewsAndLayoutLifecycle) {
    CTable t;
    t.SetColumnCount(2);
    t.SetColumn(0, new CFAny<CDInt>, new CCellCompare);
    t.SetColumn(1, new CFAny<CDString>, new CCellCompare);
    t.Build();
    EXPECT_EQ(t.GetRowSize(), kRowHeaderSize + sizeof(CDInt) + sizeof(CDString));
    t.AddRow()->GetCell(1)->SetString("view");
    const CColData* view = t.GetColumnData(1);
    EXPECT_EQ(view->GetRowCount(), 1);
    EXPECT_EQ(view->GetCell(0).GetString(), "view");
    EXPECT_TRUE(t.IsValidRow(0));
    EXPECT_FALSE(t.IsValidRow(1));
    EXPECT_FALSE(t.IsValidColumn(-1));

    // A forwarding interface reaches the same model.
    CTableInterface forward;
    forward.SetTable(&t);
    EXPECT_EQ(forward.GetRowCount(), 1);
    EXPECT_FALSE(forward.IsValidColumn(2));
    forward.AddRow();
    EXPECT_EQ(t.GetRowCount(), 2);

    t.SetCompare(0, new CCellCompare);
    t.ClearLayout();
    EXPECT_EQ(t.GetColumnCount(), 0);
    EXPECT_EQ(t.GetRowCount(), 0);
    t.SetColumnCount(1);
    t.SetColumn(0, new CFAny<CDString>, new CCellCompare);
    t.Build();
    EXPECT_EQ(t.AddRow()->GetCell(0)->GetString(), "");
}

TEST(TableTest, SortKeepsRowsWithEqualKeysInTheirPresentOrder) {
    // Many equal pings, as while results stream in: a sort by score must not shuffle them, in
    // either direction, and a second sort changes nothing.
    CTable t;
    BuildNameScore(t);
    for (int i = 0; i < 200; ++i)
        Add(t, "s" + std::to_string(i), (i * 7) % 3);
    t.Sort(CSortKeys{1, CSortKeys::kAscending});
    const std::vector<std::string> once = Names(t);
    for (int r = 1; r < t.GetRowCount(); ++r) {
        if (t.GetCell(r - 1, 1)->GetInt() != t.GetCell(r, 1)->GetInt())
            continue;
        EXPECT_LT(std::stoi(once[static_cast<std::size_t>(r - 1)].substr(1)),
                  std::stoi(once[static_cast<std::size_t>(r)].substr(1)));
    }
    t.Sort(CSortKeys{1, CSortKeys::kAscending});
    EXPECT_EQ(Names(t), once);
    t.Sort(CSortKeys{1, CSortKeys::kDescending});
    EXPECT_EQ(Names(t).front(), "s2"); // the first row of score 2
}

TEST(TableTest, AFilterSetsRowsAsideAndSortingKeepsThemInOrder) {
    using Names = std::vector<std::string>;
    CTable t;
    BuildNameScore(t);
    for (const char* name : {"d", "b", "e", "a", "c"})
        Add(t, name, 0);
    const CSortKeys byName{0, CSortKeys::kAscending};
    const CSortKeys byNameDown{0, CSortKeys::kDescending};
    auto notB = [](const CRow& row) { return row.GetCell(0)->GetString() != "b"; };
    auto vowel = [](const CRow& row) {
        return row.GetCell(0)->GetString().find_first_of("ae") == 0;
    };

    t.SelectRow(0, true); // d
    t.SelectRow(1, true); // b
    t.FilterRows(notB);
    EXPECT_EQ(::Names(t), (Names{"d", "e", "a", "c"}));
    EXPECT_EQ(t.GetHiddenRowCount(), 1);
    EXPECT_EQ(t.GetSelectedCount(), 1); // the hidden row lost its selection

    // Sorting orders the hidden row too; a narrower filter and no filter show the sorted order.
    t.Sort(byName);
    EXPECT_EQ(::Names(t), (Names{"a", "c", "d", "e"}));
    t.FilterRows(vowel);
    EXPECT_EQ(::Names(t), (Names{"a", "e"}));
    EXPECT_FALSE(t.IsRowSelected(0));
    t.Sort(byNameDown);
    EXPECT_EQ(::Names(t), (Names{"e", "a"}));
    t.FilterRows(nullptr);
    EXPECT_EQ(::Names(t), (Names{"e", "d", "c", "b", "a"}));
    EXPECT_EQ(t.GetHiddenRowCount(), 0);

    // Rows added while filtered are shown until the filter runs again; rows moved and deleted
    // among the shown ones keep the hidden ones.
    t.FilterRows(vowel);
    Add(t, "ab", 1);
    Add(t, "zz", 2);
    EXPECT_EQ(::Names(t), (Names{"e", "a", "ab", "zz"}));
    t.MoveRow(3, 0);
    t.DeleteRow(1); // e
    EXPECT_EQ(::Names(t), (Names{"zz", "a", "ab"}));
    t.InsertRow(1)->GetCell(0)->SetString("ins");
    t.ShowAllRows();
    EXPECT_EQ(::Names(t), (Names{"zz", "ins", "a", "ab", "d", "c", "b"}));
    t.Sort(byName);
    t.FilterRows(notB);
    EXPECT_EQ(::Names(t), (Names{"a", "ab", "c", "d", "ins", "zz"}));

    // Emptying the table forgets the hidden rows as well, and their cells are released.
    t.DeleteAllRows();
    EXPECT_EQ(t.GetRowCount(), 0);
    EXPECT_EQ(t.GetHiddenRowCount(), 0);
    Add(t, "b", 0);
    EXPECT_EQ(::Names(t), (Names{"b"}));
}
