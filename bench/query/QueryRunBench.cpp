// A whole query run over loopback: 1000 servers answering after 40 ms at "DSL*4". Reports the
// run's duration next to the paced design figure and the ping error (measured minus 40 ms).
#include "query/QueryEngine.h"
#include "query/QueryWindow.h"
#include "tools/TestNet.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

constexpr int kServers = 1000;
constexpr int kDelayMs = 40;
constexpr int kSpeedIndex = 5;

class CCountingWindow : public CQueryWindowInterface {
public:
    int GetVersionIndex() override { return 1; }
    int GetSpeedIndex() override { return kSpeedIndex; }
    bool GetIncludeEmpty() override { return true; }
    bool GetIncludeFull() override { return true; }
    void SetWaitCursor(bool) override {}
    void ShowMessage(const std::string&, bool) override {}
    void OnQueryStarted(unsigned, std::size_t servers) override {
        std::lock_guard lock(m_mutex);
        m_toCome = servers;
        m_pings.clear();
    }
    void PostServerDone(unsigned, CServerRecord* record) override {
        std::lock_guard lock(m_mutex);
        m_pings.push_back(record->m_ping);
        if (--m_toCome == 0)
            m_done.notify_all();
    }
    std::vector<int> WaitForRun() {
        std::unique_lock lock(m_mutex);
        m_done.wait(lock, [this] { return m_toCome == 0; });
        return m_pings;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::size_t m_toCome = 0;
    std::vector<int> m_pings;
};

void BM_QueryRun(benchmark::State& state) {
    // A thousand servers and their sockets need more descriptors than the usual soft limit.
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);

    CTestNetConfig config;
    for (int i = 0; i < kServers; ++i) {
        CTestServer server;
        server.delayMs = kDelayMs;
        server.players = {{"a", 1, 2}};
        config.servers.push_back(server);
    }
    CTestNet net(config);
    net.Start();
    CCountingWindow window;
    CQueryEngine engine(window);
    for (int i = 0; i < kServers; ++i) {
        CSockAddr address("127.0.0.1:" + std::to_string(net.GetServerPort(i)));
        engine.GetServerList().FindOrInsert(address);
    }

    std::vector<int> errors;
    for (auto _ : state) {
        engine.StartQuery();
        for (int ping : window.WaitForRun())
            errors.push_back(ping - kDelayMs);
        engine.StopQuery(-1);
    }
    std::sort(errors.begin(), errors.end());
    double sum = 0;
    for (int error : errors)
        sum += error;
    int limit = CQueryEngine::LimitOfSpeed(kSpeedIndex);
    state.counters["design_ms"] = (kServers + limit - 1) / limit * 200.0;
    state.counters["ping_err_mean_ms"] = sum / static_cast<double>(errors.size());
    state.counters["ping_err_p99_ms"] = errors[errors.size() * 99 / 100];
    state.counters["ping_err_max_ms"] = errors.back();
    std::vector<std::chrono::nanoseconds> late = net.GetReplyLateness();
    std::sort(late.begin(), late.end());
    state.counters["peer_late_p99_ms"] =
        std::chrono::duration<double, std::milli>(late[late.size() * 99 / 100]).count();
    state.counters["timed_out"] = static_cast<double>(
        std::count(errors.begin(), errors.end(), CServerRecord::kNoPing - kDelayMs));
}

} // namespace

BENCHMARK(BM_QueryRun)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
