// The country look-up the query worker makes once per address: opening the installed database,
// a first look-up of 2,000 public addresses, and the same addresses again from the cache.
#include "query/CountryLookup.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<CSockAddr> PublicAddresses() {
    std::vector<CSockAddr> addresses;
    for (std::uint32_t i = 0; addresses.size() < 2000; ++i) {
        CSockAddr address;
        address.sin_addr.s_addr = htonl(0x05000000u + i * 0x00051F3Bu);
        address.SetPort(27960);
        if (!HasNoCountry(address))
            addresses.push_back(address);
    }
    return addresses;
}

void BM_OpenDatabase(benchmark::State& state) {
    for (auto _ : state) {
        auto lookup = OpenCountryDatabase();
        if (!lookup) {
            state.SkipWithError("no country database installed");
            return;
        }
        benchmark::DoNotOptimize(lookup.get());
    }
}

// First look-ups (range 0) or answers from the cache (range 1), for 2,000 addresses.
void BM_LookUp2000(benchmark::State& state) {
    const std::vector<CSockAddr> addresses = PublicAddresses();
    const bool cached = state.range(0) != 0;
    std::size_t known = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CCountryCache cache(OpenCountryDatabase());
        if (!cache.HasDatabase()) {
            state.SkipWithError("no country database installed");
            return;
        }
        if (cached)
            for (const CSockAddr& address : addresses)
                cache.Find(address);
        state.ResumeTiming();
        known = 0;
        for (const CSockAddr& address : addresses)
            known += cache.Find(address).empty() ? 0 : 1;
    }
    state.counters["with_country"] = static_cast<double>(known);
    state.counters["us_per_address"] = benchmark::Counter(
        static_cast<double>(addresses.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert,
        benchmark::Counter::OneK::kIs1000);
}

} // namespace

BENCHMARK(BM_OpenDatabase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookUp2000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
