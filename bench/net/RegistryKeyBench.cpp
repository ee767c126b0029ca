// The settings store opens, reads and for writes atomically replaces its file per access; this
// shows what one read and one write of a full settings key cost.
#include "net/RegistryKey.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A settings key as the browser leaves it, in a temporary store.
class SettingsStore {
public:
    SettingsStore() {
        char pattern[] = "/tmp/vantrel-bench-XXXXXX";
        m_dir = mkdtemp(pattern);
        setenv("VANTREL_CONFIG_DIR", m_dir.c_str(), 1);
        m_key.SetPath("Software\\Vantrel JK2");
        const char* numbers[] = {"LastView",    "Speed",     "Version",     "IncludeEmptyServers",
                                 "SplitPos",    "AutoClose", "AutoRequery", "IncludeFullServers",
                                 "StartupQuery"};
        for (const char* name : numbers) {
            m_key.WriteNumber(name, 1);
        }
        m_key.WriteString("Master", "192.168.0.5:28060");
        m_key.WriteString("LastPlayers", std::string(200, 'p'));
        const std::uint16_t layout[40] = {};
        for (const char* name : {"Tavex_Player", "Tavex_Server", "Tavex_PlayerOnServer"}) {
            m_key.WriteBinary(name, layout, sizeof layout);
        }
    }
    ~SettingsStore() { std::filesystem::remove_all(m_dir); }
    CRegistryKey& Key() { return m_key; }

private:
    std::string m_dir;
    CRegistryKey m_key;
};

} // namespace

static void BM_ReadNumber(benchmark::State& state) {
    SettingsStore store;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.Key().ReadNumber("StartupQuery", 0));
    }
}
BENCHMARK(BM_ReadNumber);

static void BM_WriteNumber(benchmark::State& state) {
    SettingsStore store;
    std::uint32_t value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.Key().WriteNumber("Speed", ++value % 6));
    }
}
BENCHMARK(BM_WriteNumber)->Unit(benchmark::kMicrosecond);
