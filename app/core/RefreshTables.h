// A refresh changes the tables in place: the rows of one refreshed server are brought up to
// what it now says, while the user's place in each table (the selected rows, the current row
// and the scroll position) survives those changes and the re-sort at the refresh's end.
// Threading: the window's thread only, with records the window owns.
#pragma once

#include <string>
#include <vector>

namespace Tavex {
class CTableCtrl;
class CTableInterface;
} // namespace Tavex

class CServerRecord;

// Brings the rows of the record numbered `key` up to date: its server row in place (keeping
// its selection), its players' rows anew (keeping the selection of players still there); a
// server that no longer passes the filter leaves both tables, one that now passes joins them.
// Returns whether it is shown now.
bool ApplyRefreshedServer(Tavex::CTableInterface& servers, Tavex::CTableInterface& allPlayers,
                          const CServerRecord& record, int key, bool includeEmpty,
                          bool includeFull);

// Where the user is in one table, by the rows' identity (record key, and the player's name in
// a table of players), so it can be put back after rows moved, left or came.
class CTablePlace {
public:
    // playerColumn: the column naming the player, or -1 in the server table.
    static CTablePlace Take(const Tavex::CTableCtrl& table, int keyColumn, int playerColumn);
    // The current row again, if it is still there, and the same scroll position (within the
    // table's new length); nothing is scrolled into view.
    void Restore(Tavex::CTableCtrl& table) const;

private:
    int m_keyColumn = -1;
    int m_playerColumn = -1;
    int m_key = 0; // 0: no current row
    std::string m_player;
    int m_currentColumn = -1;
    int m_vertPos = 0;
};

// The record keys of the rows selected in the server table, or the current row's when none is.
std::vector<int> SelectedKeys(Tavex::CTableInterface& servers, int currentRow);
