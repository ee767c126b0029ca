#include "app/core/MainTables.h"

#include "app/core/PlayerSearch.h"
#include "app/core/ServerFilter.h"
#include "query/GameVersion.h"
#include "query/ServerRecord.h"
#include "table/Cells.h"
#include "table/Row.h"
#include "table/SortKeys.h"
#include "table/TableInterface.h"

void CRecordKeys::Assign(CServerList& list) {
    Clear();
    for (auto& [address, record] : list)
        Append(&record);
}

void CRecordKeys::Append(CServerRecord* record) {
    if (m_keys.contains(record))
        return;
    m_records.push_back(record);
    m_keys.emplace(record, static_cast<int>(m_records.size()));
}

void CRecordKeys::Clear() {
    m_records.clear();
    m_keys.clear();
}

int CRecordKeys::KeyOf(const CServerRecord* record) const {
    auto found = m_keys.find(record);
    return found == m_keys.end() ? 0 : found->second;
}

CServerRecord* CRecordKeys::RecordOf(int key) const {
    if (key < 1 || key > static_cast<int>(m_records.size()))
        return nullptr;
    return m_records[static_cast<std::size_t>(key - 1)];
}

void FillServerRow(Tavex::CRow& row, const CServerRecord& record, int key) {
    const auto numPlayers = static_cast<std::int32_t>(record.m_players.size());
    row.GetCell(ServerColumn::kServer)->SetString(record.m_name);
    row.GetCell(ServerColumn::kPing)->SetInt(record.m_ping);
    row.GetCell(ServerColumn::kPlayers)->SetString(PlayersText(numPlayers, record.m_maxClients));
    row.GetCell(ServerColumn::kType)->SetInt(record.m_gameType);
    row.GetCell(ServerColumn::kMap)->SetString(record.m_map);
    row.GetCell(ServerColumn::kIp)->SetString(record.m_address.Format());
    row.GetCell(kRecordColumn)->SetInt(key);
    row.GetCell(ServerColumn::kNumPlayers)->SetInt(numPlayers);
    row.GetCell(ServerColumn::kMaxPlayers)->SetInt(record.m_maxClients);
    row.GetCell(ServerColumn::kVersion)->SetString(VersionText(record));
}

void AddPlayerRows(Tavex::CTableInterface& allPlayers, const CServerRecord& record, int key) {
    const auto numPlayers = static_cast<std::int32_t>(record.m_players.size());
    const std::string players = PlayersText(numPlayers, record.m_maxClients);
    for (auto player = record.m_players.rbegin(); player != record.m_players.rend(); ++player) {
        Tavex::CRow* row = allPlayers.AddRow();
        row->GetCell(AllPlayersColumn::kPlayer)->SetString(player->name);
        row->GetCell(AllPlayersColumn::kPing)->SetInt(player->ping);
        row->GetCell(AllPlayersColumn::kFrags)->SetInt(player->frags);
        row->GetCell(AllPlayersColumn::kServer)->SetString(record.m_name);
        row->GetCell(AllPlayersColumn::kType)->SetInt(record.m_gameType);
        row->GetCell(AllPlayersColumn::kMap)->SetString(record.m_map);
        row->GetCell(AllPlayersColumn::kServerPing)->SetInt(record.m_ping);
        row->GetCell(AllPlayersColumn::kPlayers)->SetString(players);
        row->GetCell(kRecordColumn)->SetInt(key);
    }
}

void AddRecordToTables(Tavex::CTableInterface& servers, Tavex::CTableInterface& allPlayers,
                       const CServerRecord& record, int key) {
    FillServerRow(*servers.AddRow(), record, key);
    AddPlayerRows(allPlayers, record, key);
}

void FillPlayersOnServer(Tavex::CTableInterface& table, const CServerRecord* record,
                         const Tavex::CSortKeys& keys) {
    table.DeleteAllRows();
    if (record == nullptr)
        return;
    for (auto player = record->m_players.rbegin(); player != record->m_players.rend(); ++player) {
        Tavex::CRow* row = table.AddRow();
        row->GetCell(PlayerOnServerColumn::kPlayer)->SetString(player->name);
        row->GetCell(PlayerOnServerColumn::kPing)->SetInt(player->ping);
        row->GetCell(PlayerOnServerColumn::kFrags)->SetInt(player->frags);
    }
    table.Sort(keys);
}

int MoveSearchMatchesUp(Tavex::CTableInterface& allPlayers, const CPlayerSearch& search) {
    allPlayers.Sort(Tavex::CSortKeys{AllPlayersColumn::kPlayer, Tavex::CSortKeys::kAscending});
    // A moved row comes from below every row visited so far, so each row is visited once.
    int matches = 0;
    const int count = allPlayers.GetRowCount();
    for (int row = 0; row < count; ++row) {
        if (MatchesPlayer(search,
                          allPlayers.GetCell(row, AllPlayersColumn::kPlayer)->GetString())) {
            allPlayers.MoveRow(row, 0);
            ++matches;
        }
    }
    return matches;
}

CSearchSelection ApplyPlayerSearch(Tavex::CTableInterface& allPlayers,
                                   Tavex::CTableInterface& servers,
                                   Tavex::CTableInterface& playersOnServer, const CRecordKeys& keys,
                                   const CPlayerSearch& search,
                                   const Tavex::CSortKeys& playersOnServerKeys) {
    CSearchSelection selection;
    if (MoveSearchMatchesUp(allPlayers, search) == 0)
        return selection;
    selection.m_allPlayersRow = 0;

    const Tavex::CCellData* recordCell = allPlayers.GetCell(0, kRecordColumn);
    selection.m_serverRow = servers.FindRow(kRecordColumn, recordCell, -1);
    if (selection.m_serverRow < 0)
        return selection;
    FillPlayersOnServer(playersOnServer, keys.RecordOf(recordCell->GetInt()), playersOnServerKeys);
    selection.m_playerOnServerRow = playersOnServer.FindRow(
        PlayerOnServerColumn::kPlayer, allPlayers.GetCell(0, AllPlayersColumn::kPlayer), -1);
    return selection;
}
