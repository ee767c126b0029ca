#include "app/core/QueryResults.h"

#include "app/core/MainView.h"
#include "app/core/ResortSchedule.h"
#include "app/core/ServerFilter.h"
#include "query/ServerRecord.h"
#include "table/SortKeys.h"
#include "table/TableInterface.h"

CQueryResults::CQueryResults(Tavex::CTableInterface& servers, Tavex::CTableInterface& allPlayers)
    : m_servers(servers), m_allPlayers(allPlayers) {}

void CQueryResults::Start(CServerList& list, bool includeEmpty, bool includeFull, bool listing) {
    m_servers.DeleteAllRows();
    m_allPlayers.DeleteAllRows();
    m_keys.Assign(list);
    m_filter.Reset(list.Size());
    m_progress.Start(static_cast<int>(list.Size()), listing);
    m_includeEmpty = includeEmpty;
    m_includeFull = includeFull;
}

CQueryResults::CUpdate CQueryResults::EndIfEmpty(const Tavex::CSortKeys& serverKeys,
                                                 const Tavex::CSortKeys& allPlayersKeys) {
    CUpdate update;
    if (m_progress.IsComplete()) {
        update.m_complete = true;
        SortBoth(serverKeys, allPlayersKeys);
    }
    return update;
}

CQueryResults::CUpdate CQueryResults::OnServerFinished(const CServerRecord& record, int view,
                                                       const Tavex::CSortKeys& serverKeys,
                                                       const Tavex::CSortKeys& allPlayersKeys) {
    CUpdate update;
    update.m_counterChanged = m_progress.OnServerDone();

    const auto numPlayers = static_cast<std::int32_t>(record.m_players.size());
    if (IsServerShown(numPlayers, record.m_maxClients, m_includeEmpty, m_includeFull)) {
        update.m_shown = true;
        const int key = m_keys.KeyOf(&record);
        AddRecordToTables(m_servers, m_allPlayers, record, key, m_friends);
        m_filter.Add(key, record);
        // Copies of the keys: sorting a control may replace the keys it was handed.
        if (view == kPlayerView) {
            if (NeedsResort(view, m_allPlayers.GetRowCount()))
                m_allPlayers.Sort(Tavex::CSortKeys(allPlayersKeys));
        } else if (NeedsResort(view, m_servers.GetRowCount())) {
            m_servers.Sort(Tavex::CSortKeys(serverKeys));
        }
    }

    if (m_progress.IsComplete()) {
        update.m_complete = true;
        SortBoth(serverKeys, allPlayersKeys);
    }
    return update;
}

void CQueryResults::Grow(const std::vector<CServerRecord*>& records) {
    for (CServerRecord* record : records)
        m_keys.Append(record);
    m_progress.Grow(static_cast<int>(records.size()));
}

CQueryResults::CUpdate CQueryResults::CloseListing(const Tavex::CSortKeys& serverKeys,
                                                   const Tavex::CSortKeys& allPlayersKeys) {
    CUpdate update;
    m_progress.CloseListing();
    if (m_progress.IsComplete()) {
        update.m_counterChanged = true;
        update.m_complete = true;
        SortBoth(serverKeys, allPlayersKeys);
    }
    return update;
}

void CQueryResults::SortBoth(const Tavex::CSortKeys& serverKeys,
                             const Tavex::CSortKeys& allPlayersKeys) {
    // Copies of the keys: sorting a control may replace the keys it was handed.
    m_servers.Sort(Tavex::CSortKeys(serverKeys));
    m_allPlayers.Sort(Tavex::CSortKeys(allPlayersKeys));
}
