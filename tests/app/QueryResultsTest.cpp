#include "app/core/QueryResults.h"

#include "app/core/MainView.h"
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

std::vector<int> Ints(CTable& table, int column) {
    std::vector<int> values;
    for (int row = 0; row < table.GetRowCount(); ++row)
        values.push_back(table.GetCell(row, column)->GetInt());
    return values;
}

class QueryResultsTest : public testing::Test {
protected:
    QueryResultsTest() : m_results(m_servers, m_allPlayers) {
        Build(m_servers, kServerColumns);
        Build(m_allPlayers, kAllPlayersColumns);
    }

    // Server i: ping 100 - i, `players[i]` players, 16 slots (or `maxClients` when given).
    void AddServers(const std::vector<int>& players, int maxClients = 16) {
        for (std::size_t i = 0; i < players.size(); ++i) {
            CServerRecord& record =
                m_list.FindOrInsert(CSockAddr("10.0.0." + std::to_string(i + 1) + ":1"));
            record.m_ping = 100 - static_cast<int>(i);
            record.m_maxClients = maxClients;
            for (int p = 0; p < players[i]; ++p)
                record.m_players.push_back(
                    {"P" + std::to_string(i) + "_" + std::to_string(p), p, p});
        }
    }

    std::vector<CQueryResults::CUpdate> FinishAll(int view) {
        std::vector<CQueryResults::CUpdate> updates;
        for (auto& [address, record] : m_list)
            updates.push_back(m_results.OnServerFinished(record, view, m_serverKeys, m_playerKeys));
        return updates;
    }

    CTable m_servers;
    CTable m_allPlayers;
    CServerList m_list;
    CQueryResults m_results;
    CSortKeys m_serverKeys{ServerColumn::kPing, CSortKeys::kAscending};
    CSortKeys m_playerKeys{AllPlayersColumn::kPlayer, CSortKeys::kAscending};
};

} // namespace

TEST_F(QueryResultsTest, EveryServerCountsButOnlyFilteredOnesAreListed) {
    // Given seven servers, two of them empty, with "Include empty servers" off,
    AddServers({1, 0, 2, 0, 1, 1, 3});
    m_servers.AddRow(); // rows of an earlier run
    m_results.Start(m_list, false, true);
    EXPECT_EQ(m_servers.GetRowCount(), 0);
    EXPECT_EQ(m_results.Progress().Shown(), 7);

    // when they finish one by one,
    std::vector<int> shownCounts;
    std::vector<bool> listed;
    std::vector<bool> complete;
    for (auto& [address, record] : m_list) {
        CQueryResults::CUpdate update =
            m_results.OnServerFinished(record, kServerView, m_serverKeys, m_playerKeys);
        if (update.m_counterChanged)
            shownCounts.push_back(m_results.Progress().Shown());
        listed.push_back(update.m_shown);
        complete.push_back(update.m_complete);
    }
    // then the counter shows only even values, the empty ones are missing from the tables,
    EXPECT_EQ(shownCounts, (std::vector<int>{6, 4, 2, 0}));
    EXPECT_EQ(listed, (std::vector<bool>{true, false, true, false, true, true, true}));
    EXPECT_EQ(complete, (std::vector<bool>{false, false, false, false, false, false, true}));
    EXPECT_EQ(m_servers.GetRowCount(), 5);
    EXPECT_EQ(m_allPlayers.GetRowCount(), 8);
    // and the final sort orders both tables by their keys.
    EXPECT_EQ(Ints(m_servers, ServerColumn::kPing), (std::vector<int>{94, 95, 96, 98, 100}));
    EXPECT_EQ(m_allPlayers.GetCell(0, AllPlayersColumn::kPlayer)->GetString(), "P0_0");
    EXPECT_EQ(m_results.Progress().Position(), 0);
    // Each row names its record.
    int key = m_servers.GetCell(0, kRecordColumn)->GetInt();
    ASSERT_NE(m_results.Keys().RecordOf(key), nullptr);
    EXPECT_EQ(m_results.Keys().RecordOf(key)->m_ping, 94);
}

TEST_F(QueryResultsTest, FullServerFilter) {
    // 16 of 16 is full; a server that reports 0 slots is never "not full".
    AddServers({16, 15});
    CServerRecord& noSlots = m_list.FindOrInsert(CSockAddr("10.0.1.1:1"));
    noSlots.m_maxClients = 0;
    m_results.Start(m_list, true, false);
    FinishAll(kServerView);
    EXPECT_EQ(Ints(m_servers, ServerColumn::kNumPlayers), (std::vector<int>{15}));

    // Both boxes on: every server, a timed-out one with 9999 and 0/0 too.
    CServerList list;
    CServerRecord& silent = list.FindOrInsert(CSockAddr("10.0.2.1:1"));
    m_results.Start(list, true, true);
    CQueryResults::CUpdate update =
        m_results.OnServerFinished(silent, kServerView, m_serverKeys, m_playerKeys);
    EXPECT_TRUE(update.m_shown && update.m_complete && update.m_counterChanged);
    EXPECT_EQ(Ints(m_servers, ServerColumn::kPing), (std::vector<int>{9999}));
    EXPECT_EQ(m_servers.GetCell(0, ServerColumn::kPlayers)->GetString(), "0/0");
}

TEST_F(QueryResultsTest, OnlyTheVisibleTableIsSortedWhileResultsStreamIn) {
    AddServers(std::vector<int>(30, 1));
    m_results.Start(m_list, true, true);
    std::vector<CQueryResults::CUpdate> updates = FinishAll(kServerView);
    // Server view: the server table after each of the first 24 servers, then at 25, 30.
    std::vector<int> sortedAt;
    for (std::size_t i = 0; i < updates.size(); ++i) {
        if (updates[i].m_serversSorted)
            sortedAt.push_back(static_cast<int>(i) + 1);
        EXPECT_EQ(updates[i].m_allPlayersSorted, i + 1 == updates.size());
    }
    EXPECT_EQ(sortedAt.size(), 26u);
    EXPECT_EQ(sortedAt[24], 25);

    // Player view: the all-players table instead.
    m_results.Start(m_list, true, true);
    updates = FinishAll(kPlayerView);
    EXPECT_TRUE(updates[26].m_allPlayersSorted == false && updates[29].m_allPlayersSorted);
    EXPECT_FALSE(updates[0].m_serversSorted);
    EXPECT_TRUE(updates[0].m_allPlayersSorted);
    // The final sort orders the hidden server table as well.
    EXPECT_EQ(Ints(m_servers, ServerColumn::kPing).front(), 71);
}
