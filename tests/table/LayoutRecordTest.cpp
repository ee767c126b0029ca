#include "table/LayoutRecord.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Tavex;

namespace {

std::vector<CLayoutColumn> Columns(std::vector<std::string> titles) {
    std::vector<CLayoutColumn> columns;
    for (auto& t : titles)
        columns.push_back({t, 50, !t.empty()});
    return columns;
}

} // namespace

TEST(LayoutRecordTest, TitleHashOverTitlesLastColumnFirst) {
    EXPECT_EQ(TitleHash(Columns({"Player", "Frags"})), 15552);
    EXPECT_EQ(TitleHash(Columns({"Ping"})), 43918);
    EXPECT_EQ(TitleHash(Columns({"\xE4"})), 65508); // bytes above 127 count negative
    EXPECT_EQ(TitleHash({}), 0);
    EXPECT_NE(TitleHash(Columns({"Frags", "Player"})), 15552);
}

TEST(LayoutRecordTest, SaveWritesTheDocumentedWords) {
    std::vector<CLayoutColumn> columns{{"Player", 120, true}, {"Frags", 36, true}};
    CWordArray words{9, 9, 9}; // emptied first
    SaveLayout(words, columns, {1, 0});
    EXPECT_EQ(words, (CWordArray{2, 15552, 2, 120, 0, 1, 1, 36, 0, 1, 0}));
    EXPECT_EQ(LayoutToBytes(words),
              (std::vector<std::uint8_t>{2, 0, 0xC0, 0x3C, 2, 0, 120, 0, 0, 0, 1,
                                         0, 1, 0,    36,   0, 0, 0,   1, 0, 0, 0}));
}

TEST(LayoutRecordTest, RestoreAppliesMatchingRecordsOnly) {
    std::vector<CLayoutColumn> saved{{"Name", 5000, false}, {"Ping", 40, true}, {"", 0, false}};
    CWordArray words;
    SaveLayout(words, saved, {2, 0, 1});

    // Same titles: widths unclamped, visibility restored, order restored.
    std::vector<CLayoutColumn> columns{{"Name", 80, true}, {"Ping", 80, true}, {"", 60, false}};
    std::vector<int> order{0, 1, 2};
    ASSERT_TRUE(RestoreLayout(words, columns, order));
    EXPECT_EQ(columns[0].m_width, 5000);
    EXPECT_FALSE(columns[0].m_visible);
    EXPECT_TRUE(columns[1].m_visible);
    EXPECT_EQ(order, (std::vector<int>{2, 0, 1}));

    // An untitled column stays hidden whatever the record says.
    CWordArray forged = words;
    forged[5 + 4 * 2] = 1;
    ASSERT_TRUE(RestoreLayout(forged, columns, order));
    EXPECT_FALSE(columns[2].m_visible);

    // Foreign, outdated or damaged records change nothing.
    const auto before = columns;
    const auto orderBefore = order;
    std::vector<CLayoutColumn> renamed{{"Name", 1, true}, {"Latency", 1, true}, {"", 1, false}};
    EXPECT_FALSE(RestoreLayout(words, renamed, order));
    EXPECT_EQ(renamed[0].m_width, 1);
    CWordArray wrongFormat = words;
    wrongFormat[0] = 1;
    EXPECT_FALSE(RestoreLayout(wrongFormat, columns, order));
    CWordArray wrongCount = words;
    wrongCount[2] = 2;
    EXPECT_FALSE(RestoreLayout(wrongCount, columns, order));
    EXPECT_FALSE(RestoreLayout(CWordArray{2, words[1]}, columns, order));
    CWordArray cut(words.begin(), words.end() - 1);
    EXPECT_FALSE(RestoreLayout(cut, columns, order));
    for (std::size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(columns[i].m_width, before[i].m_width);
        EXPECT_EQ(columns[i].m_visible, before[i].m_visible);
    }
    EXPECT_EQ(order, orderBefore);

    // Positions that are out of range or repeated leave the order as it is (the rest applies).
    CWordArray badPosition = words;
    badPosition[6] = 7;
    badPosition[3] = 77;
    order = {0, 1, 2};
    ASSERT_TRUE(RestoreLayout(badPosition, columns, order));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(columns[0].m_width, 77);
    CWordArray twice = words;
    twice[6] = twice[10];
    ASSERT_TRUE(RestoreLayout(twice, columns, order));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(LayoutRecordTest, SaveThenRestoreRoundTripsThroughBytes) {
    std::vector<CLayoutColumn> columns{{"A", 10, true}, {"B", 20, false}, {"C", 65535, true}};
    CWordArray stored;
    SaveLayout(stored, columns, {2, 1, 0});
    const auto bytes = LayoutToBytes(stored);

    // Loading: defaults first, then the stored bytes on top, then restore.
    std::vector<CLayoutColumn> fresh{{"A", 1, true}, {"B", 1, true}, {"C", 1, true}};
    std::vector<int> order{0, 1, 2};
    CWordArray words;
    SaveLayout(words, fresh, order);
    OverlayLayoutBytes(words, bytes);
    ASSERT_TRUE(RestoreLayout(words, fresh, order));
    EXPECT_EQ(fresh[0].m_width, 10);
    EXPECT_FALSE(fresh[1].m_visible);
    EXPECT_EQ(fresh[2].m_width, 65535);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 0}));

    // A value longer than the record is ignored; a missing one leaves the defaults.
    CWordArray defaults;
    SaveLayout(defaults, fresh, order);
    CWordArray overlaid = defaults;
    auto longer = bytes;
    longer.push_back(0);
    longer.push_back(0);
    OverlayLayoutBytes(overlaid, longer);
    EXPECT_EQ(overlaid, defaults);
    OverlayLayoutBytes(overlaid, {});
    EXPECT_EQ(overlaid, defaults);
}

TEST(LayoutRecordTest, ARecordOfFewerColumnsAppliesToTheLeadingOnesAfterAnUpgrade) {
    // Given a layout stored before a titled column was appended: widths, a hidden column and a
    // changed order for the old columns.
    std::vector<CLayoutColumn> before{{"Server", 150, true}, {"Ping", 40, false}, {"", 0, false}};
    CWordArray stored;
    SaveLayout(stored, before, {2, 1, 0});
    const auto bytes = LayoutToBytes(stored);

    // When today's table, with "Version" appended, reads it over its defaults.
    std::vector<CLayoutColumn> now{
        {"Server", 120, true}, {"Ping", 40, true}, {"", 0, false}, {"Version", 44, true}};
    std::vector<int> order{0, 1, 2, 3};
    CWordArray words;
    SaveLayout(words, now, order);
    OverlayLayoutBytes(words, bytes);
    ASSERT_TRUE(RestoreLayout(words, now, order));

    // Then the old columns are as the user left them and the new one keeps its default.
    EXPECT_EQ(now[0].m_width, 150);
    EXPECT_FALSE(now[1].m_visible);
    EXPECT_EQ(now[3].m_width, 44);
    EXPECT_TRUE(now[3].m_visible);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 0, 3}));

    // A record of other leading titles, of more columns, or one that would make an untitled
    // column look added is still ignored whole.
    std::vector<CLayoutColumn> renamed{
        {"Host", 1, true}, {"Ping", 1, true}, {"", 0, false}, {"Version", 1, true}};
    CWordArray foreign;
    SaveLayout(foreign, now, order);
    OverlayLayoutBytes(foreign, bytes);
    EXPECT_FALSE(RestoreLayout(foreign, renamed, order));
    EXPECT_EQ(renamed[0].m_width, 1);
    std::vector<CLayoutColumn> fewer{{"Server", 1, true}, {"Ping", 1, true}};
    std::vector<int> fewerOrder{0, 1};
    CWordArray longer;
    SaveLayout(longer, now, order);
    EXPECT_FALSE(RestoreLayout(longer, fewer, fewerOrder));
    std::vector<CLayoutColumn> untitledAdded{
        {"Server", 1, true}, {"Ping", 1, true}, {"", 0, false}, {"", 0, false}};
    CWordArray words4;
    SaveLayout(words4, untitledAdded, order);
    OverlayLayoutBytes(words4, bytes);
    EXPECT_FALSE(RestoreLayout(words4, untitledAdded, order));
}
