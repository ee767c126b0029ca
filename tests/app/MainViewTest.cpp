#include "app/core/MainView.h"

#include <gtest/gtest.h>

TEST(MainViewTest, ViewsTabsAndMenu) {
    EXPECT_EQ(ViewOfLastView(0), kPlayerView);
    EXPECT_EQ(ViewOfLastView(1), kServerView);
    EXPECT_EQ(ViewOfLastView(5), kPlayerView);
    EXPECT_EQ(ViewOfLastView(-1), kPlayerView);

    CViewVisibility players = VisibilityOfView(kPlayerView);
    EXPECT_TRUE(players.m_allPlayers);
    EXPECT_FALSE(players.m_serverTable || players.m_playersOnServer || players.m_splitter);
    CViewVisibility servers = VisibilityOfView(kServerView);
    EXPECT_FALSE(servers.m_allPlayers);
    EXPECT_TRUE(servers.m_serverTable && servers.m_playersOnServer && servers.m_splitter);
    EXPECT_TRUE(JoinsFromAllPlayers(kPlayerView));
    EXPECT_FALSE(JoinsFromAllPlayers(kServerView));

    EXPECT_EQ(ServerMenuItems(true), "Add to favorites;-;Show server info;-");
    EXPECT_EQ(ServerMenuItems(false), "~Add to favorites;-;~Show server info;-");
}
