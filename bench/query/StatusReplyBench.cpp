// Parsing status replies into records: replies per second for typical and crowded servers.
#include "query/ServerRecord.h"
#include "tools/TestNet.h"

#include <benchmark/benchmark.h>

namespace {

std::string Reply(int players, int extraVariables) {
    CTestServer server;
    server.name = "^1Jedi ^7Academy ^4Public";
    for (int v = 0; v < extraVariables; ++v)
        server.variables.push_back({"var" + std::to_string(v), "value^" + std::to_string(v % 10)});
    for (int p = 0; p < players; ++p)
        server.players.push_back(
            {"^" + std::to_string(p % 10) + "\"Padawan\" " + std::to_string(p), p * 3, 20 + p});
    return CTestNet::BuildStatusReply(server);
}

void BM_ParseStatus(benchmark::State& state) {
    std::string reply = Reply(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    CServerRecord record(CSockAddr("10.0.0.1:27960"));
    for (auto _ : state) {
        record.Reset();
        record.ParseStatus(reply);
        benchmark::DoNotOptimize(record.m_players.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(reply.size()));
    state.counters["replies/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

// (players, extra variables): an empty server, a typical one, a full 32-player one.
BENCHMARK(BM_ParseStatus)->Args({0, 10})->Args({8, 30})->Args({32, 60});

BENCHMARK_MAIN();
