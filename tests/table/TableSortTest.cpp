#include "table/Table.h"

#include "table/Cells.h"
#include "table/SortKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

using namespace Tavex;

namespace {

// Columns 0 and 1 are keys with many ties; column 2 numbers the rows as they were added.
struct CRowValues {
    int a;
    int b;
    int id;
};

std::vector<CRowValues> Fill(CTable& t, int rows) {
    for (int c = 0; c < 3; ++c)
        t.AddColumn(new CFAny<CDInt>, new CCellCompare);
    t.Build();
    std::mt19937 random(20261207);
    std::vector<CRowValues> added;
    for (int id = 0; id < rows; ++id) {
        CRowValues values{static_cast<int>(random() % 10), static_cast<int>(random() % 100) - 50,
                          id};
        CRow* row = t.AddRow();
        row->GetCell(0)->SetInt(values.a);
        row->GetCell(1)->SetInt(values.b);
        row->GetCell(2)->SetInt(values.id);
        added.push_back(values);
    }
    return added;
}

std::vector<int> Ids(CTable& t) {
    std::vector<int> ids;
    for (int r = 0; r < t.GetRowCount(); ++r)
        ids.push_back(t.GetCell(r, 2)->GetInt());
    return ids;
}

std::vector<int> Ids(const std::vector<CRowValues>& rows) {
    std::vector<int> ids;
    for (const CRowValues& row : rows)
        ids.push_back(row.id);
    return ids;
}

} // namespace

TEST(TableSortTest, ThousandsOfRowsSortByEveryKeyAndKeepTiesInTheirPresentOrder) {
    // More rows than a sort handles without partitioning, with ties on every key.
    CTable t;
    std::vector<CRowValues> expected = Fill(t, 2500);

    // First key ascending, second descending: ties on both keep the order of adding.
    t.Sort(CSortKeys{0, CSortKeys::kAscending, 1, CSortKeys::kDescending});
    std::stable_sort(expected.begin(), expected.end(), [](const auto& x, const auto& y) {
        return std::tie(x.a, y.b) < std::tie(y.a, x.b);
    });
    EXPECT_EQ(Ids(t), Ids(expected));

    // Then by the second key alone: ties keep the order the first sort gave them.
    t.Sort(CSortKeys{1, CSortKeys::kAscending});
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& x, const auto& y) { return x.b < y.b; });
    EXPECT_EQ(Ids(t), Ids(expected));

    // Descending on a key with only ten values, from that order.
    t.Sort(CSortKeys{0, CSortKeys::kDescending});
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& x, const auto& y) { return x.a > y.a; });
    EXPECT_EQ(Ids(t), Ids(expected));

    // Sorting sorted rows again changes nothing.
    t.Sort(CSortKeys{0, CSortKeys::kDescending});
    EXPECT_EQ(Ids(t), Ids(expected));
}

TEST(TableSortTest, ThousandsOfEqualRowsStayAsTheyAre) {
    CTable t;
    for (int c = 0; c < 2; ++c)
        t.AddColumn(new CFAny<CDInt>, new CCellCompare);
    t.Build();
    for (int id = 0; id < 1500; ++id)
        t.AddRow()->GetCell(1)->SetInt(id);
    t.Sort(CSortKeys{0, CSortKeys::kDescending});
    for (int r = 0; r < t.GetRowCount(); ++r)
        ASSERT_EQ(t.GetCell(r, 1)->GetInt(), r);
}
