#include "app/core/MainView.h"

#include <gtest/gtest.h>

TEST(MainViewTest, StoredViewsTheTabsCannotShowGiveThePlayerView) {
    EXPECT_EQ(ViewOfLastView(1), kServerView);
    EXPECT_EQ(ViewOfLastView(5), kPlayerView);
    EXPECT_EQ(ViewOfLastView(-1), kPlayerView);
    // Each view shows its own tables; joining takes the row of the visible one.
    EXPECT_TRUE(VisibilityOfView(kPlayerView).m_allPlayers);
    EXPECT_FALSE(VisibilityOfView(kPlayerView).m_splitter);
    EXPECT_FALSE(VisibilityOfView(kServerView).m_allPlayers);
    EXPECT_FALSE(JoinsFromAllPlayers(kServerView));
}

TEST(MainViewTest, PlayerMenuOffersTheOneFriendItemThatApplies) {
    EXPECT_EQ(FriendMenuItems(true, false), "Add to friends;~Remove from friends;-");
    EXPECT_EQ(FriendMenuItems(true, true), "~Add to friends;Remove from friends;-");
    EXPECT_EQ(FriendMenuItems(false, false), "~Add to friends;~Remove from friends;-");
    EXPECT_EQ(FriendMenuItems(false, true), "~Add to friends;~Remove from friends;-");
}
