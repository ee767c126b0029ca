// Costs on the query path: address text in and out, and the sender lookup in the ordered
// server list that every status reply goes through.
#include "net/SockAddr.h"

#include <benchmark/benchmark.h>

#include <map>

static void BM_ParseDottedAddress(benchmark::State& state) {
    for (auto _ : state) {
        CSockAddr addr("192.168.100.200:27960");
        benchmark::DoNotOptimize(addr);
    }
}
BENCHMARK(BM_ParseDottedAddress);

static void BM_FormatAddress(benchmark::State& state) {
    const CSockAddr addr("192.168.100.200:27960");
    for (auto _ : state) {
        benchmark::DoNotOptimize(addr.Format());
    }
}
BENCHMARK(BM_FormatAddress);

static void BM_FindSenderInServerList(benchmark::State& state) {
    std::map<CSockAddr, int> list;
    const int count = static_cast<int>(state.range(0));
    for (int i = 0; i < count; ++i) {
        CSockAddr addr;
        addr.sin_addr.s_addr = static_cast<in_addr_t>(0x0A000000 + i * 7919);
        addr.SetPort(27960 + i % 4);
        list.emplace(addr, i);
    }
    auto it = list.begin();
    for (auto _ : state) {
        const CSockAddr sender = it->first;
        benchmark::DoNotOptimize(list.find(sender));
        if (++it == list.end()) {
            it = list.begin();
        }
    }
}
BENCHMARK(BM_FindSenderInServerList)->Arg(500)->Arg(5000);
