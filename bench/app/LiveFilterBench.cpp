// The live filter as the user types: each keystroke filters the server table of 2,000 servers
// and the all-players table of 16,000 players, then clearing brings every row back.
#include "bench/app/BenchServers.h"
#include "bench/app/BenchTables.h"

#include "app/core/LiveFilter.h"
#include "app/core/QueryResults.h"
#include "table/Cells.h"
#include "table/SortKeys.h"
#include "table/Table.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

// The keystrokes: a player's name typed letter by letter, a second word, then erased again
// letter by letter down to nothing; and the humans box on and off.
std::vector<std::pair<std::string, bool>> Keystrokes() {
    std::vector<std::pair<std::string, bool>> strokes;
    const std::string typed = "player12 ffa_map3";
    for (std::size_t n = 1; n <= typed.size(); ++n)
        strokes.push_back({typed.substr(0, n), false});
    for (std::size_t n = typed.size(); n-- > 0;)
        strokes.push_back({typed.substr(0, n), false});
    strokes.push_back({"", true});
    strokes.push_back({"", false});
    return strokes;
}

void BM_LiveFilterKeystroke(benchmark::State& state) {
    CServerList list;
    FillList(list, CServerRecord::kStateAnswered);
    for (auto& [address, record] : list) {
        for (const CPlayerInfo& player : record.m_players)
            ++(player.IsBot() ? record.m_bots : record.m_humans);
    }
    Tavex::CTable servers;
    Tavex::CTable allPlayers;
    BuildBenchTable(servers, kServerColumns);
    BuildBenchTable(allPlayers, kAllPlayersColumns);
    CQueryResults results(servers, allPlayers);
    const Tavex::CSortKeys serverKeys{ServerColumn::kPing, Tavex::CSortKeys::kAscending};
    const Tavex::CSortKeys playerKeys{AllPlayersColumn::kPlayer, Tavex::CSortKeys::kAscending};
    results.Start(list, true, true);
    for (auto& [address, record] : list)
        results.OnServerFinished(record, 0, serverKeys, playerKeys);

    const auto strokes = Keystrokes();
    double slowestMs = 0;
    double totalMs = 0;
    std::size_t count = 0;
    for (auto _ : state) {
        for (const auto& [text, humans] : strokes) {
            const auto start = std::chrono::steady_clock::now();
            CLiveFilterIndex& filter = results.Filter();
            filter.Apply(MakeLiveFilter(text, humans));
            servers.FilterRows(filter.ServerRows());
            allPlayers.FilterRows(filter.PlayerRows());
            const std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            slowestMs = std::max(slowestMs, took.count());
            totalMs += took.count();
            ++count;
            benchmark::DoNotOptimize(allPlayers.GetRowCount());
        }
    }
    state.counters["mean_keystroke_ms"] = totalMs / static_cast<double>(count);
    state.counters["slowest_keystroke_ms"] = slowestMs;
    state.counters["servers"] = servers.GetRowCount();
    state.counters["players"] = allPlayers.GetRowCount();
}

} // namespace

BENCHMARK(BM_LiveFilterKeystroke)->Unit(benchmark::kMillisecond)->Iterations(5);
