// The main window's rules that need no window: its two views and their tabs, which tables each
// view shows, the table a join takes its row from, and the server table's menu items.
#pragma once

#include <string>

inline constexpr int kPlayerView = 0;
inline constexpr int kServerView = 1;

// Tab texts in index order; the tab index is the view.
inline constexpr const char* kViewTabs[] = {"Player list", "Server list"};

// The view applied for a stored "LastView": the tab control cannot select a tab it does not
// have and keeps its first tab, so anything but the server view is the player view.
int ViewOfLastView(int lastView);

struct CViewVisibility {
    bool m_allPlayers = false;
    bool m_serverTable = false;
    bool m_playersOnServer = false;
    bool m_splitter = false;
};

// The player view shows the all-players table alone; any other view the server table, the
// players-on-server table and the splitter between them.
CViewVisibility VisibilityOfView(int view);

// Joining takes the current row of the visible table: the all-players table in the player
// view, the server table otherwise.
bool JoinsFromAllPlayers(int view);

// The server table's context menu items, inserted before the table's own; disabled ("~") when
// the menu is not on a row.
inline constexpr int kAddToFavoritesCommand = 57341;
inline constexpr int kShowServerInfoCommand = 57343;
std::string ServerMenuItems(bool onRow);
// Below those: "Refresh server" (on a selected row) and "Join when a slot is free" (on a full
// server), from kRefreshServerCommand on.
inline constexpr int kRefreshServerCommand = 1104;
inline constexpr int kJoinWhenFreeCommand = 1105;
std::string RefreshMenuItems(bool onRow, bool full);
// The all-players table's own items: "Join when a slot is free" for the row's server.
std::string PlayerMenuItems(bool full);
