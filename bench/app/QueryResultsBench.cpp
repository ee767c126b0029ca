// The window thread's work for the finished-server messages of one large run: 2,000 servers
// with 16,000 players, on the table models, in either view. Reports the whole run and the
// slowest single message.
#include "app/core/MainView.h"
#include "app/core/QueryResults.h"
#include "bench/app/BenchServers.h"
#include "bench/app/BenchTables.h"
#include "query/ServerRecord.h"
#include "table/Cells.h"
#include "table/SortKeys.h"
#include "table/Table.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>

namespace {

void BM_FinishedServers(benchmark::State& state) {
    const int view = static_cast<int>(state.range(0));
    CServerList list;
    FillList(list, 0);
    Tavex::CTable servers;
    Tavex::CTable allPlayers;
    BuildBenchTable(servers, kServerColumns);
    BuildBenchTable(allPlayers, kAllPlayersColumns);
    CQueryResults results(servers, allPlayers);
    const Tavex::CSortKeys serverKeys{ServerColumn::kPing, Tavex::CSortKeys::kAscending};
    const Tavex::CSortKeys playerKeys{AllPlayersColumn::kPlayer, Tavex::CSortKeys::kAscending};

    // Wall time includes waits for the other programs on a shared machine; thread CPU time
    // shows the work itself.
    double slowestMs = 0;
    double slowestCpuMs = 0;
    for (auto _ : state) {
        results.Start(list, true, true);
        for (auto& [address, record] : list) {
            auto start = std::chrono::steady_clock::now();
            double cpuStart = ThreadCpuMs();
            results.OnServerFinished(record, view, serverKeys, playerKeys);
            std::chrono::duration<double, std::milli> took =
                std::chrono::steady_clock::now() - start;
            slowestMs = std::max(slowestMs, took.count());
            slowestCpuMs = std::max(slowestCpuMs, ThreadCpuMs() - cpuStart);
        }
        benchmark::DoNotOptimize(allPlayers.GetRowCount());
    }
    state.counters["slowest_message_ms"] = slowestMs;
    state.counters["slowest_message_cpu_ms"] = slowestCpuMs;
    state.counters["players"] = allPlayers.GetRowCount();
}

} // namespace

BENCHMARK(BM_FinishedServers)
    ->Arg(kPlayerView)
    ->Arg(kServerView)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

BENCHMARK_MAIN();
