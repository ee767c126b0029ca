// The main window's handling of the finished-server messages of one large run, with the real
// table controls painting offscreen: 2,000 servers with 16,000 players, in either view.
// Reports the whole run and the slowest single message, in wall and thread CPU time.
#include "app/MainDialog.h"
#include "bench/app/BenchServers.h"
#include "bench/app/WindowBenchMain.h"
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
            FillList(list, CServerRecord::kStateAnswered);
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
    return RunWindowBenchmarks(argc, argv, g_platform);
}
