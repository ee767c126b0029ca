// The main window's handling of the finished-server messages of one large run, with the real
// table controls painting offscreen: 2,000 servers with 16,000 players, in either view.
// Reports the whole run and the slowest single message, in wall and thread CPU time.
#include "app/MainDialog.h"
#include "platform/qt/QtPlatform.h"
#include "query/ServerRecord.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

PlatformQt::QtPlatform* g_platform = nullptr;

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// 2,000 servers with 8 players each; names vary so that sorting has work to do.
void FillList(CServerList& list) {
    for (int i = 0; i < 2000; ++i) {
        CSockAddr address;
        address.sin_addr.s_addr = htonl(0x0A000000u + static_cast<std::uint32_t>(i));
        address.SetPort(27960);
        CServerRecord& record = list.FindOrInsert(address);
        record.m_name = "Server " + std::to_string((i * 7919) % 2000);
        record.m_map = "ffa_map" + std::to_string(i % 13);
        record.m_maxClients = 16;
        record.m_ping = (i * 37) % 400;
        record.m_state = CServerRecord::kStateAnswered;
        for (int p = 0; p < 8; ++p) {
            int n = (i * 8 + p) * 104729 % 16000;
            record.m_players.push_back({"Player" + std::to_string(n), n % 50, n % 300});
        }
    }
}

void BM_MainWindowFinishedServers(benchmark::State& state) {
    CCommandLine commandLine;
    commandLine.m_view = static_cast<int>(state.range(0));
    CMainDialog dialog(commandLine);
    double slowestMs = 0;
    double slowestCpuMs = 0;
    QTimer::singleShot(0, [&] {
        CServerList& list = dialog.Engine().GetServerList();
        for (auto _ : state) {
            state.PauseTiming();
            list.Clear();
            FillList(list);
            dialog.Engine().PrepareQuery();
            dialog.OnQueryStarted(0, list.Size());
            state.ResumeTiming();
            for (auto& [address, record] : list) {
                auto start = std::chrono::steady_clock::now();
                double cpuStart = ThreadCpuMs();
                dialog.OnServerDone(0, &record);
                std::chrono::duration<double, std::milli> took =
                    std::chrono::steady_clock::now() - start;
                slowestMs = std::max(slowestMs, took.count());
                slowestCpuMs = std::max(slowestCpuMs, ThreadCpuMs() - cpuStart);
            }
        }
        dialog.OnCancel();
    });
    dialog.DoModal(*g_platform, nullptr);
    state.counters["slowest_ms"] = slowestMs;
    state.counters["slowest_cpu_ms"] = slowestCpuMs;
}
BENCHMARK(BM_MainWindowFinishedServers)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("view")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    // The window writes its settings when it closes: keep them away from the user's.
    std::string dir = (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
    if (!mkdtemp(dir.data()))
        return 1;
    setenv("VANTREL_CONFIG_DIR", dir.c_str(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    PlatformQt::QtPlatform platform;
    g_platform = &platform;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
