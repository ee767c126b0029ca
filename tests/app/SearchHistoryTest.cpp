#include "app/core/SearchHistory.h"

#include <gtest/gtest.h>

TEST(SearchHistoryTest, AddsSortedAndIgnoresCaseForExactMatches) {
    CSearchHistory history;
    EXPECT_EQ(history.AddIfNew("Zed"), 0);
    EXPECT_EQ(history.AddIfNew("Abe"), 0);
    EXPECT_EQ(history.AddIfNew("bob"), 1);
    // "ABE" after "Abe" adds nothing: the exact match ignores case.
    EXPECT_EQ(history.AddIfNew("ABE"), std::nullopt);
    EXPECT_EQ(history.FindExact("BOB"), 1);
    EXPECT_EQ(history.FindExact("Bo"), -1);
    EXPECT_EQ(history.Items(), (std::vector<std::string>{"Abe", "bob", "Zed"}));

    EXPECT_EQ(DeleteQuestion("Abe"), "Are you sure to delete 'Abe'?");
}

TEST(SearchHistoryTest, SettingTextRoundTrips) {
    // Each piece is an item, an empty one between line feeds too; the empty text after the
    // final line feed is not.
    CSearchHistory history = CSearchHistory::FromSetting("b\n\na\nc");
    EXPECT_EQ(history.Items(), (std::vector<std::string>{"", "a", "b", "c"}));
    // Written from the last item to the first, each followed by a line feed.
    EXPECT_EQ(history.ToSetting(), "c\nb\na\n\n");
    EXPECT_EQ(CSearchHistory::FromSetting(history.ToSetting()).Items(), history.Items());
    EXPECT_TRUE(CSearchHistory::FromSetting("").Items().empty());
    EXPECT_EQ(CSearchHistory::FromSetting("x\n").Items(), (std::vector<std::string>{"x"}));
}

TEST(SearchHistoryTest, DoubleClickRightAfterAChoiceIsIgnored) {
    CSelectionTimeMark mark;
    EXPECT_TRUE(mark.AllowsDoubleClick(0));
    mark.OnItemChosen(1000);
    EXPECT_FALSE(mark.AllowsDoubleClick(1050));
    EXPECT_FALSE(mark.AllowsDoubleClick(1100));
    EXPECT_TRUE(mark.AllowsDoubleClick(1101));
    // The tick count wraps after 49 days; the guard still holds across the wrap.
    mark.OnItemChosen(0xFFFFFFF0u);
    EXPECT_FALSE(mark.AllowsDoubleClick(0xFFFFFFFFu));
    EXPECT_FALSE(mark.AllowsDoubleClick(20));
    EXPECT_TRUE(mark.AllowsDoubleClick(100));
}
