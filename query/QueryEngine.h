// The query engine: the master exchange on the window's thread and the worker thread that
// queries every listed server with pacing, one resend, time-outs and pings.
// Threading: all operations are called on the window's thread. While a worker runs it alone
// writes the records it was handed; it hands each finished record back through
// PostServerDone. The exchange asks every master at once and adds the servers of each master
// whose list is complete to the run already going, through the run feed: the worker never
// touches the server list itself, only the records it took from the feed.
#pragma once

#include "net/SockAddr.h"
#include "net/SysEvent.h"
#include "query/MasterList.h"
#include "query/RunFeed.h"
#include "query/ServerRecord.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CQueryWindowInterface;
class CSockUDP;
class CMasterChannel;

// How the masters of the last exchange did, by the texts the user gave.
struct CMasterReport {
    std::vector<std::string> m_answered;
    std::vector<std::string> m_silent;     // asked, never answered
    std::vector<std::string> m_unresolved; // the name did not resolve; not asked
    std::size_t Asked() const { return m_answered.size() + m_silent.size() + m_unresolved.size(); }
};

// The protocols a Version choice asks for: 0 "1.0" 15, 1 "1.04" 16, 2 "All" both.
std::vector<int> ProtocolsOfVersion(int versionIndex);
class CQueryEngine {
public:
    enum class EMasterResult {
        Started,    // the list was read and a worker started
        Busy,       // the running worker did not stop in time; nothing changed
        NoResponse, // the master answered none of the probes
        Failed,     // a socket error, already shown to the user
        Cancelled,  // CancelMasterQuery ended the exchange; the list keeps what was read
    };

    // Bounds of the masters' answers: a master or a third party that keeps sending cannot keep
    // the window waiting, nor make it query more servers than this.
    static constexpr std::uint32_t kMasterReadLimitMs = 15000;
    // A master still silent once every other has listed its servers and they are all queried
    // is given up, but not before this: a far master may take that long to answer.
    static constexpr std::uint32_t kSilentGraceMs = 400;

    // Requests per 200 ms tick for a Speed index; out-of-range indexes count as "ISDN".
    static int LimitOfSpeed(int speedIndex);

    explicit CQueryEngine(CQueryWindowInterface& window);
    virtual ~CQueryEngine(); // stops a running worker and waits for it
    CQueryEngine(const CQueryEngine&) = delete;
    CQueryEngine& operator=(const CQueryEngine&) = delete;

    // Refused (Busy) while an exchange runs, since its waits let the window's events in.
    EMasterResult QueryMaster();
    bool IsMasterExchange() const { return m_inMasterExchange; }
    // Ends a running master exchange at its next wait, as if the master had gone quiet, but
    // without starting a query. Called from the window's own events during the exchange.
    void CancelMasterQuery();
    // Stop and capture for a query over a list the caller fills (the favourites); false if a
    // running worker did not stop within 5000 ms, or while a master exchange runs.
    bool PrepareQuery();
    // Starts a worker over the current list; does nothing if one runs.
    void StartQuery();
    // Queries these listed servers again without touching their records: the worker fills
    // fresh records of the engine's own and hands each to PostRefreshDone, and the window
    // takes the result over on its thread. False (nothing started) while a query, a refresh
    // or the master exchange runs.
    bool StartRefresh(const std::vector<CSockAddr>& servers);
    bool IsCurrentRefresh(unsigned refresh) const { return refresh == m_refresh; }
    unsigned GetCurrentRefresh() const { return m_refresh; }
    // true if no worker runs any more; a negative time-out waits without limit.
    bool StopQuery(int timeoutMs);
    void RequestStop();
    bool IsRunning() const;
    bool IsCurrentRun(unsigned run) const { return run == m_run.load(); }

    CServerList& GetServerList() { return m_list; }
    // The masters as typed ("host:port"); resolved at each query.
    const std::vector<std::string>& GetMasters() const { return m_masters; }
    void SetMasters(std::vector<std::string> masters) { m_masters = std::move(masters); }
    void SetMasterAddress(const CSockAddr& address) { m_masters = {address.Format()}; }
    const CMasterReport& GetMasterReport() const { return m_report; }
    // While the exchange may still add servers to the current run.
    bool IsListing() const { return m_listing; }
    bool GetIncludeEmpty() const { return m_includeEmpty; }
    bool GetIncludeFull() const { return m_includeFull; }

    // Waits for the master's datagrams and the read loop's bound; shortened by tests against
    // a loopback master.
    void SetMasterWaits(std::uint32_t firstWaitMs, std::uint32_t stepMs,
                        std::uint32_t readLimitMs = kMasterReadLimitMs);

protected:
    // One datagram that reached the master query's socket; a test makes it fail to reach the
    // error path.
    virtual int ReceiveMasterReply(CSockUDP& socket, std::string& datagram, CSockAddr& sender);

private:
    using Clock = std::chrono::steady_clock;

    bool StopAndCapture();
    // The exchange without the wait cursor; a text for the user in message.
    EMasterResult ExchangeWithMasters(std::string& message);
    // Reads up to a batch of datagrams from the socket of protocol `socketIndex`; each counts
    // only for the channel of the master it came from.
    void ReadMasterSocket(CSockUDP& socket, std::size_t socketIndex,
                          std::vector<CMasterChannel>& channels,
                          const std::vector<CMasterTarget>& masters,
                          const std::vector<std::string>& requests);
    // A channel's list is complete: its new servers join the list and, with `query`, the run,
    // which starts with the first.
    void Deliver(const CMasterChannel& channel, const CSockAddr& master, bool query);
    void StartRun(bool listing);
    void EndListing();
    void Worker(unsigned run, int limit, bool refresh);
    void RunWorker(unsigned run, int limit, bool refresh);
    void FinishWorker();

    CQueryWindowInterface& m_window;
    CServerList m_list;
    std::vector<std::string> m_masters;
    CMasterReport m_report;
    bool m_listing = false;
    bool m_listCleared = false; // this exchange has emptied the list for its answers
    bool m_runStarted = false;  // this exchange has started the run
    CRunFeed m_feed;
    std::size_t m_fed = 0;                  // records handed to the current run
    std::atomic<std::size_t> m_finished{0}; // records of the current run posted by the worker
    CSysEvent m_runIdle;                    // the worker has posted all it was handed
    // The fresh records of the last refresh: written by its worker until posted, then read by
    // the window's thread; replaced only while no worker runs.
    std::deque<CServerRecord> m_refreshed;
    unsigned m_refresh = 0;
    CSysEvent m_stop;
    bool m_includeEmpty = false;
    bool m_includeFull = true;
    std::uint32_t m_firstWaitMs = 1000;
    std::uint32_t m_waitStepMs = 500;
    std::uint32_t m_readLimitMs = kMasterReadLimitMs;
    bool m_inMasterExchange = false;
    CSysEvent m_cancelMaster;

    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_running = false;
    std::atomic<unsigned> m_run{0};
};
