// One entry point for all socket-layer and settings-store benchmarks.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
