// The main window while a large run streams in, as a person sees it: 2,000 servers with 16,000
// players posted from another thread at the worker's rate at "DSL*4" (160 a second), through the
// real event loop, which paints in between. Reports the window thread's CPU time for the run,
// the slowest event-loop iteration, and the number of paints (loop iterations that painted),
// in the player view, the server view, and with the window minimised.
#include "app/MainDialog.h"
#include "bench/app/BenchServers.h"
#include "bench/app/WindowBenchMain.h"
#include "platform/qt/QtPlatform.h"
#include "query/ServerRecord.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

PlatformQt::QtPlatform* g_platform = nullptr;

// Times every pass of the event loop from waking to blocking again, and counts the passes in
// which something was painted.
class CLoopWatch : public QObject {
public:
    CLoopWatch() {
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        connect(dispatcher, &QAbstractEventDispatcher::awake, this,
                [this] { m_awake = std::chrono::steady_clock::now(); });
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            std::chrono::duration<double, std::milli> pass =
                std::chrono::steady_clock::now() - m_awake;
            m_slowestMs = std::max(m_slowestMs, pass.count());
            m_paints += m_painted ? 1 : 0;
            m_painted = false;
        });
        QApplication::instance()->installEventFilter(this);
    }
    ~CLoopWatch() override { QApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

    double m_slowestMs = 0;
    int m_paints = 0;

private:
    std::chrono::steady_clock::time_point m_awake = std::chrono::steady_clock::now();
    bool m_painted = false;
};

enum EWindow { kPlayers = 0, kServers = 1, kMinimised = 2 };

void BM_MainWindowStreamingRun(benchmark::State& state) {
    const auto window = static_cast<EWindow>(state.range(0));
    CCommandLine commandLine;
    commandLine.m_view = window == kPlayers ? 0 : 1;
    CMainDialog dialog(commandLine);
    double cpuMs = 0;
    double wallMs = 0;
    int rowsPlayers = 0;
    int rowsServers = 0;
    std::unique_ptr<CLoopWatch> watch;
    std::thread worker;
    QTimer::singleShot(0, [&] {
        if (window == kMinimised)
            g_platform->Widget(dialog)->showMinimized();
        QApplication::processEvents();
        CServerList& list = dialog.Engine().GetServerList();
        list.Clear();
        FillList(list, CServerRecord::kStateAnswered);
        dialog.Engine().PrepareQuery();
        dialog.OnQueryStarted(0, list.Size());
        std::vector<CServerRecord*> records;
        for (auto& [address, record] : list)
            records.push_back(&record);
        watch = std::make_unique<CLoopWatch>();
        const double cpuStart = ThreadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        worker = std::thread(
            [&dialog, records, cpuStart, start, &cpuMs, &wallMs, &rowsPlayers, &rowsServers] {
                const auto step = std::chrono::microseconds(6250);
                auto due = std::chrono::steady_clock::now();
                for (CServerRecord* record : records) {
                    due += step;
                    std::this_thread::sleep_until(due);
                    dialog.PostServerDone(0, record);
                }
                // The window thread closes once it has worked through everything before this.
                QMetaObject::invokeMethod(
                    QApplication::instance(),
                    [&dialog, cpuStart, start, &cpuMs, &wallMs, &rowsPlayers, &rowsServers] {
                        QApplication::processEvents(); // the last paint
                        cpuMs = ThreadCpuMs() - cpuStart;
                        rowsPlayers = dialog.AllPlayersTable().GetRowCount();
                        rowsServers = dialog.ServerTable().GetRowCount();
                        wallMs = std::chrono::duration<double, std::milli>(
                                     std::chrono::steady_clock::now() - start)
                                     .count();
                        dialog.OnCancel();
                    },
                    Qt::QueuedConnection);
            });
    });
    for (auto _ : state)
        dialog.DoModal(*g_platform, nullptr);
    worker.join();
    state.counters["window_cpu_ms"] = cpuMs;
    state.counters["slowest_pass_ms"] = watch->m_slowestMs;
    state.counters["paints"] = watch->m_paints;
    state.counters["paints_per_s"] = watch->m_paints / (wallMs / 1000);
    state.counters["rows_players"] = rowsPlayers;
    state.counters["rows_servers"] = rowsServers;
}
BENCHMARK(BM_MainWindowStreamingRun)
    ->Arg(kPlayers)
    ->Arg(kServers)
    ->Arg(kMinimised)
    ->ArgName("window")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    // Qt's own dispatcher says exactly when a pass wakes and when it goes back to waiting.
    qputenv("QT_NO_GLIB", "1");
    return RunWindowBenchmarks(argc, argv, g_platform);
}
