#include "app/core/QueryResults.h"

#include "app/core/MainView.h"
#include "platform/Text.h"
#include "query/ServerRecord.h"
#include "table/Cells.h"
#include "table/SortKeys.h"
#include "table/Table.h"

#include <gtest/gtest.h>

using namespace Tavex;

namespace {

template <std::size_t N> void Build(CTable& table, const std::array<CColumnSpec, N>& columns) {
    for (const CColumnSpec& column : columns) {
        if (column.m_kind != EColumnKind::Int && column.m_kind != EColumnKind::GameType)
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
    // Servers come in with falling pings and names that stop sorting by arrival at "P10_0", so
    // the order the tables show after each result tells whether they were sorted then.
    AddServers(std::vector<int>(30, 1));
    const auto run = [&](int view) {
        std::vector<std::pair<bool, bool>> ordered; // servers by ping, players by name
        m_results.Start(m_list, true, true);
        for (auto& [address, record] : m_list) {
            m_results.OnServerFinished(record, view, m_serverKeys, m_playerKeys);
            const std::vector<int> pings = Ints(m_servers, ServerColumn::kPing);
            std::vector<std::string> names;
            for (int row = 0; row < m_allPlayers.GetRowCount(); ++row)
                names.push_back(m_allPlayers.GetCell(row, AllPlayersColumn::kPlayer)->GetString());
            ordered.emplace_back(std::is_sorted(pings.begin(), pings.end()),
                                 std::is_sorted(names.begin(), names.end(),
                                                [](const std::string& a, const std::string& b) {
                                                    return Platform::CompareNoCase(a, b) < 0;
                                                }));
        }
        return ordered;
    };

    // Server view: the server table after each of the first 24 servers, then at 25 and 30; the
    // all-players table only at the end.
    std::vector<std::pair<bool, bool>> ordered = run(kServerView);
    ASSERT_EQ(ordered.size(), 30u);
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        const int count = static_cast<int>(i) + 1;
        EXPECT_EQ(ordered[i].first, count <= 25 || count == 30) << count;
        if (count > 10) {
            EXPECT_EQ(ordered[i].second, count == 30) << count;
        }
    }

    // Player view: the all-players table instead, and the hidden server table at the end.
    ordered = run(kPlayerView);
    EXPECT_FALSE(ordered[26].second);
    EXPECT_TRUE(ordered[29].second);
    EXPECT_FALSE(ordered[1].first);
    EXPECT_FALSE(ordered[28].first);
    EXPECT_TRUE(ordered[29].first);
    EXPECT_EQ(Ints(m_servers, ServerColumn::kPing).front(), 71);
}

TEST_F(QueryResultsTest, ARunOfNoServersEndsAtOnceAndLeavesTheBarAtRest) {
    // Given the results of an earlier run and a master that lists nothing,
    AddServers({2, 1});
    m_results.Start(m_list, true, true);
    FinishAll(kServerView);
    ASSERT_EQ(m_servers.GetRowCount(), 2);
    CServerList none;

    // while the masters are asked the bar is busy, and only then,
    m_results.SetAskingMasters(true);
    EXPECT_EQ(m_results.Progress().Range(), 0);
    // and the empty run that follows is complete as it starts: no server message will come.
    m_results.Start(none, true, true);
    const CQueryResults::CUpdate update = m_results.EndIfEmpty(m_serverKeys, m_playerKeys);
    EXPECT_TRUE(update.m_complete);
    EXPECT_TRUE(m_results.Progress().IsComplete());
    EXPECT_EQ(m_results.Progress().Shown(), 0);
    EXPECT_EQ(m_servers.GetRowCount(), 0);
    EXPECT_EQ(m_allPlayers.GetRowCount(), 0);
    // A range of 0 is the busy animation, which would never stop.
    EXPECT_GE(m_results.Progress().Range(), 1);
    EXPECT_EQ(m_results.Progress().Position(), 0);

    // A run with servers is not complete at its start.
    m_results.Start(m_list, true, true);
    EXPECT_FALSE(m_results.EndIfEmpty(m_serverKeys, m_playerKeys).m_complete);
    EXPECT_EQ(m_results.Progress().Range(), 2);
}
