#include "app/core/ServerRefresh.h"

#include "app/core/MainTables.h"
#include "app/core/RefreshTables.h"
#include "query/ServerRecord.h"
#include "table/SortKeys.h"
#include "table/TableCtrl.h"

CServerRefresh::CServerRefresh(Tavex::CTableCtrl& servers, Tavex::CTableCtrl& allPlayers)
    : m_servers(servers), m_allPlayers(allPlayers) {}

void CServerRefresh::Start(unsigned refresh, std::size_t servers) {
    m_refresh = refresh;
    m_left = servers;
}

CServerRefresh::CUpdate CServerRefresh::OnRefreshed(CServerRecord* listed,
                                                    const CServerRecord& fresh, int key,
                                                    bool includeEmpty, bool includeFull) {
    CUpdate update;
    if (m_left == 0)
        return update;
    if (listed != nullptr && key != 0) {
        const CTablePlace servers = CTablePlace::Take(m_servers, kRecordColumn, -1);
        const CTablePlace players =
            CTablePlace::Take(m_allPlayers, kRecordColumn, AllPlayersColumn::kPlayer);
        listed->TakeQueryResult(fresh);
        ApplyRefreshedServer(m_servers, m_allPlayers, *listed, key, includeEmpty, includeFull);
        servers.Restore(m_servers);
        players.Restore(m_allPlayers);
    }
    if (--m_left > 0)
        return update;
    // Sorted once at the end, not row by row, so rows do not jump about while results come.
    const CTablePlace servers = CTablePlace::Take(m_servers, kRecordColumn, -1);
    const CTablePlace players =
        CTablePlace::Take(m_allPlayers, kRecordColumn, AllPlayersColumn::kPlayer);
    m_servers.Sort(Tavex::CSortKeys(*m_servers.GetSortKeys()));
    m_allPlayers.Sort(Tavex::CSortKeys(*m_allPlayers.GetSortKeys()));
    servers.Restore(m_servers);
    players.Restore(m_allPlayers);
    update.m_complete = true;
    return update;
}
