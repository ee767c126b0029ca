#include "app/core/MainTables.h"

#include "app/core/PlayerSearch.h"
#include "query/ServerRecord.h"
#include "table/Cells.h"
#include "table/SortKeys.h"
#include "table/Table.h"

#include <gtest/gtest.h>

using namespace Tavex;

namespace {

template <std::size_t N> void Build(CTable& table, const std::array<CColumnSpec, N>& columns) {
    for (const CColumnSpec& column : columns) {
        if (column.m_kind == EColumnKind::String)
            table.AddColumn(new CFAny<CDString>, new CCellCompare);
        else
            table.AddColumn(new CFAny<CDInt>, new CCellCompare);
    }
    table.Build();
}

std::vector<std::string> Column(CTable& table, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < table.GetRowCount(); ++row)
        texts.push_back(table.GetCell(row, column)->GetString());
    return texts;
}

CServerRecord Record(const char* address, const char* name, std::vector<CPlayerInfo> players) {
    CServerRecord record{CSockAddr(address)};
    record.m_name = name;
    record.m_map = "ffa_bespin";
    record.m_gameType = 3;
    record.m_maxClients = 16;
    record.m_ping = 42;
    record.m_players = std::move(players);
    return record;
}

class MainTablesTest : public testing::Test {
protected:
    MainTablesTest() {
        Build(m_servers, kServerColumns);
        Build(m_allPlayers, kAllPlayersColumns);
        Build(m_playersOnServer, kPlayerOnServerColumns);
    }

    CTable m_servers;
    CTable m_allPlayers;
    CTable m_playersOnServer;
};

} // namespace

TEST_F(MainTablesTest, RecordKeysNumberTheRunsRecords) {
    CServerList list;
    CServerRecord& a = list.FindOrInsert(CSockAddr("10.0.0.1:1"));
    CServerRecord& b = list.FindOrInsert(CSockAddr("10.0.0.2:1"));
    CRecordKeys keys;
    keys.Assign(list);
    EXPECT_NE(keys.KeyOf(&a), 0);
    EXPECT_NE(keys.KeyOf(&a), keys.KeyOf(&b));
    EXPECT_EQ(keys.RecordOf(keys.KeyOf(&b)), &b);
    EXPECT_EQ(keys.RecordOf(0), nullptr);
    EXPECT_EQ(keys.RecordOf(3), nullptr);
    EXPECT_EQ(keys.RecordOf(-1), nullptr);
    CServerRecord stranger;
    EXPECT_EQ(keys.KeyOf(&stranger), 0);
    keys.Clear();
    EXPECT_EQ(keys.RecordOf(1), nullptr);
}

TEST_F(MainTablesTest, FinishedServerFillsBothTables) {
    CServerRecord record = Record("10.0.0.5:27960", "^1Red", {{"Abe", 10, 50}, {"Bob", -2, 999}});
    AddRecordToTables(m_servers, m_allPlayers, record, 7);

    ASSERT_EQ(m_servers.GetRowCount(), 1);
    EXPECT_EQ(Column(m_servers, ServerColumn::kServer), (std::vector<std::string>{"^1Red"}));
    EXPECT_EQ(m_servers.GetCell(0, ServerColumn::kType)->GetInt(), 3);
    EXPECT_EQ(m_servers.GetCell(0, ServerColumn::kPing)->GetInt(), 42);
    EXPECT_EQ(Column(m_servers, ServerColumn::kPlayers), (std::vector<std::string>{"2/16"}));
    EXPECT_EQ(m_servers.GetCell(0, ServerColumn::kNumPlayers)->GetInt(), 2);
    EXPECT_EQ(m_servers.GetCell(0, ServerColumn::kMaxPlayers)->GetInt(), 16);
    EXPECT_EQ(Column(m_servers, ServerColumn::kMap), (std::vector<std::string>{"ffa_bespin"}));
    EXPECT_EQ(Column(m_servers, ServerColumn::kIp), (std::vector<std::string>{"10.0.0.5:27960"}));
    EXPECT_EQ(m_servers.GetCell(0, kRecordColumn)->GetInt(), 7);
    EXPECT_EQ(Column(m_servers, ServerColumn::kVersion), (std::vector<std::string>{""}));

    // Players from the last to the first, each with its server's values.
    EXPECT_EQ(Column(m_allPlayers, AllPlayersColumn::kPlayer),
              (std::vector<std::string>{"Bob", "Abe"}));
    EXPECT_EQ(m_allPlayers.GetCell(0, AllPlayersColumn::kPing)->GetInt(), 999);
    EXPECT_EQ(m_allPlayers.GetCell(0, AllPlayersColumn::kFrags)->GetInt(), -2);
    EXPECT_EQ(m_allPlayers.GetCell(1, AllPlayersColumn::kServerPing)->GetInt(), 42);
    EXPECT_EQ(Column(m_allPlayers, AllPlayersColumn::kServer),
              (std::vector<std::string>{"^1Red", "^1Red"}));
    EXPECT_EQ(Column(m_allPlayers, AllPlayersColumn::kMap)[1], "ffa_bespin");
    EXPECT_EQ(Column(m_allPlayers, AllPlayersColumn::kPlayers)[1], "2/16");
    EXPECT_EQ(m_allPlayers.GetCell(1, AllPlayersColumn::kType)->GetInt(), 3);
    EXPECT_EQ(m_allPlayers.GetCell(1, kRecordColumn)->GetInt(), 7);

    // A server that never answered still gets its row, with no players.
    CServerRecord silent{CSockAddr("10.0.0.6:1")};
    AddRecordToTables(m_servers, m_allPlayers, silent, 8);
    EXPECT_EQ(Column(m_servers, ServerColumn::kPlayers)[1], "0/0");
    EXPECT_EQ(m_servers.GetCell(1, ServerColumn::kPing)->GetInt(), CServerRecord::kNoPing);
    EXPECT_EQ(m_allPlayers.GetRowCount(), 2);
}

TEST_F(MainTablesTest, SelectedServerRefillsItsPlayersInTheirSortOrder) {
    CServerRecord record = Record("10.0.0.5:1", "S", {{"Cy", 1, 30}, {"Al", 2, 10}, {"Bo", 3, 20}});
    const CSortKeys byPing{PlayerOnServerColumn::kPing, CSortKeys::kDescending};
    FillPlayersOnServer(m_playersOnServer, &record, byPing);
    EXPECT_EQ(Column(m_playersOnServer, PlayerOnServerColumn::kPlayer),
              (std::vector<std::string>{"Cy", "Bo", "Al"}));
    EXPECT_EQ(m_playersOnServer.GetCell(0, PlayerOnServerColumn::kFrags)->GetInt(), 1);

    // No keys keep the order of the rows: the last player first.
    FillPlayersOnServer(m_playersOnServer, &record, CSortKeys());
    EXPECT_EQ(Column(m_playersOnServer, PlayerOnServerColumn::kPlayer),
              (std::vector<std::string>{"Bo", "Al", "Cy"}));
    // Selecting nothing empties it.
    FillPlayersOnServer(m_playersOnServer, nullptr, byPing);
    EXPECT_EQ(m_playersOnServer.GetRowCount(), 0);
}

TEST_F(MainTablesTest, SearchMovesMatchesToTheTop) {
    auto search = [this](const char* text) {
        m_allPlayers.DeleteAllRows();
        CServerRecord record =
            Record("10.0.0.5:1", "S", {{"Tabby", 0, 0}, {"Bob", 0, 0}, {"Abe", 0, 0}});
        AddRecordToTables(m_servers, m_allPlayers, record, 1);
        int matches = MoveSearchMatchesUp(m_allPlayers, *PreparePlayerSearch(text));
        std::vector<std::string> names = Column(m_allPlayers, AllPlayersColumn::kPlayer);
        names.push_back(std::to_string(matches));
        return names;
    };
    // Prefix mode moves only Abe.
    EXPECT_EQ(search("ab"), (std::vector<std::string>{"Abe", "Bob", "Tabby", "1"}));
    EXPECT_EQ(search(" aB "), (std::vector<std::string>{"Abe", "Bob", "Tabby", "1"}));
    // Contains mode moves Abe and Tabby; Tabby ends in row 0.
    EXPECT_EQ(search("*ab"), (std::vector<std::string>{"Tabby", "Abe", "Bob", "2"}));
    // An asterisk alone matches every name: the table ends in descending order.
    EXPECT_EQ(search("*"), (std::vector<std::string>{"Tabby", "Bob", "Abe", "3"}));
    // No match leaves the table sorted by name.
    EXPECT_EQ(search("zed"), (std::vector<std::string>{"Abe", "Bob", "Tabby", "0"}));
}

TEST_F(MainTablesTest, SearchSelectsThePlayerAndItsServer) {
    CServerList list;
    CServerRecord& first = list.FindOrInsert(CSockAddr("10.0.0.1:1"));
    first.m_players = {{"Bob", 1, 1}, {"Zed", 2, 2}};
    CServerRecord& second = list.FindOrInsert(CSockAddr("10.0.0.2:1"));
    second.m_players = {{"Tabby", 3, 3}, {"Abe", 4, 4}, {"Cy", 5, 5}};
    CRecordKeys keys;
    keys.Assign(list);
    for (auto& [address, record] : list)
        AddRecordToTables(m_servers, m_allPlayers, record, keys.KeyOf(&record));
    const CSortKeys byName{PlayerOnServerColumn::kPlayer, CSortKeys::kAscending};

    // "*ab" selects Tabby, her server (the second row) and her line among its players.
    CSearchSelection selection = ApplyPlayerSearch(m_allPlayers, m_servers, m_playersOnServer, keys,
                                                   *PreparePlayerSearch("*ab"), byName);
    EXPECT_EQ(selection.m_allPlayersRow, 0);
    EXPECT_EQ(selection.m_serverRow, 1);
    EXPECT_EQ(Column(m_playersOnServer, PlayerOnServerColumn::kPlayer),
              (std::vector<std::string>{"Abe", "Cy", "Tabby"}));
    EXPECT_EQ(selection.m_playerOnServerRow, 2);

    // A match on the first server row selects that row.
    selection = ApplyPlayerSearch(m_allPlayers, m_servers, m_playersOnServer, keys,
                                  *PreparePlayerSearch("zed"), byName);
    EXPECT_EQ(selection.m_serverRow, 0);
    EXPECT_EQ(selection.m_playerOnServerRow, 1);

    // No match selects nothing and leaves the players-on-server table alone.
    selection = ApplyPlayerSearch(m_allPlayers, m_servers, m_playersOnServer, keys,
                                  *PreparePlayerSearch("nobody"), byName);
    EXPECT_EQ(selection.m_allPlayersRow, -1);
    EXPECT_EQ(selection.m_serverRow, -1);
    EXPECT_EQ(m_playersOnServer.GetRowCount(), 2);

    // A player whose server row was filtered away selects only the player.
    m_servers.DeleteRow(0);
    selection = ApplyPlayerSearch(m_allPlayers, m_servers, m_playersOnServer, keys,
                                  *PreparePlayerSearch("bob"), byName);
    EXPECT_EQ(selection.m_allPlayersRow, 0);
    EXPECT_EQ(selection.m_serverRow, -1);
    EXPECT_EQ(selection.m_playerOnServerRow, -1);
}
