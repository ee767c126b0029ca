// vantrel-query: one query over the master's list or a favourites file, printed on stdout.
#include "query/Favorites.h"
#include "query/QueryEngine.h"
#include "query/QueryWindow.h"
#include "tools/QueryOptions.h"
#include "tools/QueryOutput.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <mutex>

namespace {

// Stands in for the browser's window: settings from the command line, finished records
// collected for printing, messages on stderr.
class CConsoleWindow : public CQueryWindowInterface {
public:
    explicit CConsoleWindow(const CQueryOptions& options) : m_options(options) {}

    int GetVersionIndex() override { return m_options.versionIndex; }
    int GetSpeedIndex() override { return m_options.speedIndex; }
    bool GetIncludeEmpty() override { return m_options.includeEmpty; }
    bool GetIncludeFull() override { return m_options.includeFull; }
    void SetWaitCursor(bool) override {}
    void ShowMessage(const std::string& text, bool) override {
        std::lock_guard lock(m_mutex);
        std::fprintf(stderr, "vantrel-query: %s\n", text.c_str());
        m_failed = true;
    }
    void OnQueryStarted(unsigned run, std::size_t servers) override {
        std::lock_guard lock(m_mutex);
        m_run = run;
        m_toCome = servers;
    }
    void OnQueryGrown(unsigned run, const std::vector<CServerRecord*>& added) override {
        std::lock_guard lock(m_mutex);
        if (run == m_run)
            m_toCome += added.size();
    }
    void PostServerDone(unsigned run, CServerRecord* record) override {
        std::lock_guard lock(m_mutex);
        if (run != m_run)
            return;
        if (m_done.empty())
            m_first = std::chrono::steady_clock::now();
        m_done.push_back(record);
        --m_toCome;
        m_changed.notify_all();
    }

    // Waits for every record of the run; false if the worker ended without them.
    bool WaitForRun(const CQueryEngine& engine) {
        std::unique_lock lock(m_mutex);
        for (;;) {
            if (m_toCome == 0)
                return true;
            // The worker posts before it marks its end, so an ended worker has posted all.
            if (m_failed || !engine.IsRunning())
                return false;
            m_changed.wait_for(lock, std::chrono::milliseconds(50));
        }
    }

    // Milliseconds from `start` to the first result, or -1 when none came.
    long long MsToFirst(std::chrono::steady_clock::time_point start) {
        std::lock_guard lock(m_mutex);
        return m_done.empty()
                   ? -1
                   : std::chrono::duration_cast<std::chrono::milliseconds>(m_first - start).count();
    }

    std::vector<const CServerRecord*> Done() {
        std::lock_guard lock(m_mutex);
        return m_done;
    }

private:
    const CQueryOptions& m_options;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    unsigned m_run = 0;
    std::size_t m_toCome = 0;
    bool m_failed = false;
    std::vector<const CServerRecord*> m_done;
    std::chrono::steady_clock::time_point m_first;
};

} // namespace

int main(int argc, char** argv) {
    CQueryOptions options;
    try {
        options = ParseQueryOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "vantrel-query: %s\n%s", error.what(), kQueryUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kQueryUsage, stdout);
        return 0;
    }
    if (options.showVersion) {
        std::puts("vantrel-query " VANTREL_VERSION);
        return 0;
    }

    const auto start = std::chrono::steady_clock::now();
    CConsoleWindow window(options);
    CQueryEngine engine(window);
    engine.SetCountries(std::make_shared<CCountryCache>(OpenCountryDatabase()));
    if (options.favorites.empty()) {
        engine.SetMasters(options.masters);
        const CQueryEngine::EMasterResult result = engine.QueryMaster();
        const CMasterReport& report = engine.GetMasterReport();
        for (const std::string& master : report.m_unresolved)
            std::fprintf(stderr, "vantrel-query: unknown master %s\n", master.c_str());
        // With some masters answering, a silent one is named, and the query goes on.
        if (!report.m_answered.empty())
            for (const std::string& master : report.m_silent)
                std::fprintf(stderr, "vantrel-query: no response from master %s\n", master.c_str());
        if (result != CQueryEngine::EMasterResult::Started)
            return 1;
    } else {
        engine.PrepareQuery();
        if (!LoadFavoritesIntoList(options.favorites, engine.GetServerList())) {
            std::fprintf(stderr, "vantrel-query: cannot read %s\n", options.favorites.c_str());
            return 2;
        }
        engine.StartQuery();
    }
    if (!window.WaitForRun(engine)) {
        std::fprintf(stderr, "vantrel-query: the query did not complete\n");
        return 1;
    }
    engine.StopQuery(-1);
    if (options.timing) {
        const auto total = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start);
        std::fprintf(stderr, "vantrel-query: first result after %lld ms, complete after %lld ms\n",
                     window.MsToFirst(start), static_cast<long long>(total.count()));
    }

    std::vector<const CServerRecord*> shown;
    for (const CServerRecord* record : window.Done())
        if (PassesFilter(*record, engine.GetIncludeEmpty(), engine.GetIncludeFull()) &&
            (!options.humansOnly || record->m_humans > 0))
            shown.push_back(record);
    std::sort(shown.begin(), shown.end(), [](const CServerRecord* a, const CServerRecord* b) {
        return a->m_ping != b->m_ping ? a->m_ping < b->m_ping : a->m_address < b->m_address;
    });
    WriteServers(std::cout, shown, options);
    std::cout.flush();
    return 0;
}
