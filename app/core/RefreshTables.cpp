#include "app/core/RefreshTables.h"

#include "app/core/MainTables.h"
#include "app/core/ServerFilter.h"
#include "query/ServerRecord.h"
#include "table/Cells.h"
#include "table/Row.h"
#include "table/TableCtrl.h"
#include "table/TableInterface.h"

#include <algorithm>
#include <set>

namespace {

int KeyOfRow(Tavex::CTableInterface& table, int row, int keyColumn) {
    return table.GetCell(row, keyColumn)->GetInt();
}

} // namespace

bool ApplyRefreshedServer(Tavex::CTableInterface& servers, Tavex::CTableInterface& allPlayers,
                          const CServerRecord& record, int key, bool includeEmpty,
                          bool includeFull) {
    const bool shown = IsServerShown(static_cast<std::int32_t>(record.m_players.size()),
                                     record.m_maxClients, includeEmpty, includeFull);
    int serverRow = -1;
    for (int row = 0; row < servers.GetRowCount() && serverRow < 0; ++row)
        if (KeyOfRow(servers, row, kRecordColumn) == key)
            serverRow = row;
    if (shown && serverRow >= 0)
        FillServerRow(*servers.GetRow(serverRow), record, key);
    else if (shown)
        FillServerRow(*servers.AddRow(), record, key);
    else if (serverRow >= 0)
        servers.DeleteRow(serverRow);

    std::set<std::string> selectedPlayers;
    for (int row = allPlayers.GetRowCount() - 1; row >= 0; --row) {
        if (KeyOfRow(allPlayers, row, kRecordColumn) != key)
            continue;
        if (allPlayers.IsRowSelected(row))
            selectedPlayers.insert(allPlayers.GetCell(row, AllPlayersColumn::kPlayer)->GetString());
        allPlayers.DeleteRow(row);
    }
    if (shown) {
        const int first = allPlayers.GetRowCount();
        AddPlayerRows(allPlayers, record, key);
        for (int row = first; row < allPlayers.GetRowCount(); ++row)
            if (selectedPlayers.contains(
                    allPlayers.GetCell(row, AllPlayersColumn::kPlayer)->GetString()))
                allPlayers.SelectRow(row, true);
    }
    return shown;
}

CTablePlace CTablePlace::Take(const Tavex::CTableCtrl& table, int keyColumn, int playerColumn) {
    CTablePlace place;
    place.m_keyColumn = keyColumn;
    place.m_playerColumn = playerColumn;
    place.m_vertPos = table.GetVertPos();
    const int current = table.GetCurrentCell().GetRow();
    auto& rows = const_cast<Tavex::CTableCtrl&>(table);
    if (current >= 0 && rows.IsValidRow(current)) {
        place.m_key = KeyOfRow(rows, current, keyColumn);
        if (playerColumn >= 0)
            place.m_player = rows.GetCell(current, playerColumn)->GetString();
        place.m_currentColumn = table.GetCurrentCell().GetColumn();
    }
    return place;
}

void CTablePlace::Restore(Tavex::CTableCtrl& table) const {
    if (m_key != 0) {
        int found = -1;
        for (int row = 0; row < table.GetRowCount() && found < 0; ++row)
            if (KeyOfRow(table, row, m_keyColumn) == m_key &&
                (m_playerColumn < 0 || table.GetCell(row, m_playerColumn)->GetString() == m_player))
                found = row;
        if (found >= 0)
            table.GetCurrentCell().Set(found, m_currentColumn);
        else
            table.GetCurrentCell().Set(-1, m_currentColumn);
    }
    table.SetVertPos(std::min(m_vertPos, table.GetMaxVertPos()));
}

std::vector<int> SelectedKeys(Tavex::CTableInterface& servers, int currentRow) {
    std::vector<int> keys;
    for (int row = 0; row < servers.GetRowCount(); ++row)
        if (servers.IsRowSelected(row))
            keys.push_back(KeyOfRow(servers, row, kRecordColumn));
    if (keys.empty() && servers.IsValidRow(currentRow))
        keys.push_back(KeyOfRow(servers, currentRow, kRecordColumn));
    return keys;
}
