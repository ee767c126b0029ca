// The window's side of a running query without the window: each finished server is counted,
// filtered, added to the tables and the visible table re-sorted on schedule; the last one
// triggers the final sort. The window shows the counters and redraws what this reports.
// Threading: the window's thread only, for records whose run is still the current one.
#pragma once

#include "app/core/LiveFilter.h"
#include "app/core/MainTables.h"
#include "app/core/QueryProgress.h"

#include <vector>

namespace Tavex {
class CSortKeys;
class CTableInterface;
} // namespace Tavex

class CFriendList;
class CServerList;
class CServerRecord;

class CQueryResults {
public:
    // What one finished server changed, for the window to show and redraw.
    struct CUpdate {
        bool m_counterChanged = false; // "Servers to Query:" and the progress bar moved
        bool m_shown = false;          // the server passed the filter; "Servers:" and "Players:"
        bool m_complete = false;       // the last server: both tables got their final sort
    };

    CQueryResults(Tavex::CTableInterface& servers, Tavex::CTableInterface& allPlayers);

    // A run starts over `list` with the filters taken from the check boxes: the two tables are
    // emptied (the window empties the players-on-server table too), the records numbered for
    // the record column and the counters set.
    // `listing`: later masters may still add servers (Grow), until CloseListing.
    void Start(CServerList& list, bool includeEmpty, bool includeFull, bool listing = false);
    // Right after Start: no server message will ever end a run of no servers that no master
    // adds to, so such a run ends here, as any other run ends (complete, both tables sorted).
    CUpdate EndIfEmpty(const Tavex::CSortKeys& serverKeys, const Tavex::CSortKeys& allPlayersKeys);
    // A later master's new records join the run: numbered after the others and counted.
    void Grow(const std::vector<CServerRecord*>& records);
    // No master adds any more. When every server is already in, this is the run's end: both
    // tables get their final sort, as after the last server.
    CUpdate CloseListing(const Tavex::CSortKeys& serverKeys,
                         const Tavex::CSortKeys& allPlayersKeys);

    // `view` is the current view; the keys are each table's current sort keys.
    CUpdate OnServerFinished(const CServerRecord& record, int view,
                             const Tavex::CSortKeys& serverKeys,
                             const Tavex::CSortKeys& allPlayersKeys);

    // Friends' rows are marked as servers come in; the list must outlive the results.
    void SetFriends(const CFriendList* friends) { m_friends = friends; }

    const CQueryProgress& Progress() const { return m_progress; }
    void SetAskingMasters(bool asking) { m_progress.SetAskingMasters(asking); }
    const CRecordKeys& Keys() const { return m_keys; }
    // Knows every shown record of the run; the window applies it to the tables.
    CLiveFilterIndex& Filter() { return m_filter; }

private:
    void SortBoth(const Tavex::CSortKeys& serverKeys, const Tavex::CSortKeys& allPlayersKeys);

    Tavex::CTableInterface& m_servers;
    Tavex::CTableInterface& m_allPlayers;
    CQueryProgress m_progress;
    CRecordKeys m_keys;
    CLiveFilterIndex m_filter;
    bool m_includeEmpty = false;
    bool m_includeFull = true;
    const CFriendList* m_friends = nullptr;
};
