// The query engine: the master exchange on the window's thread and the worker thread that
// queries every listed server with pacing, one resend, time-outs and pings.
// Threading: all operations are called on the window's thread. While a worker runs it alone
// writes the records; it hands each finished record over through PostServerDone.
#pragma once

#include "net/SockAddr.h"
#include "net/SysEvent.h"
#include "query/CountryLookup.h"
#include "query/ServerRecord.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class CQueryWindowInterface;
class CSockUDP;

class CQueryEngine {
public:
    enum class EMasterResult {
        Started,    // the list was read and a worker started
        Busy,       // the running worker did not stop in time; nothing changed
        NoResponse, // the master answered none of the probes
        Failed,     // a socket error, already shown to the user
        Cancelled,  // CancelMasterQuery ended the exchange; the list keeps what was read
    };

    // Bounds of the master's answer: a master or a third party that keeps sending cannot keep
    // the window waiting, nor make it query more servers than this.
    static constexpr std::uint32_t kMasterReadLimitMs = 15000;

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
    // true if no worker runs any more; a negative time-out waits without limit.
    bool StopQuery(int timeoutMs);
    void RequestStop();
    bool IsRunning() const;
    bool IsCurrentRun(unsigned run) const { return run == m_run.load(); }
    // Where the worker finds each server's country; set while no run is on.
    void SetCountries(std::shared_ptr<CCountryCache> countries) {
        m_countries = std::move(countries);
    }

    CServerList& GetServerList() { return m_list; }
    const CSockAddr& GetMasterAddress() const { return m_master; }
    void SetMasterAddress(const CSockAddr& address) { m_master = address; }
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
    enum class EWait { Socket, Timeout, Cancelled };

    bool StopAndCapture();
    // The exchange without the wait cursor; a text for the user in message.
    EMasterResult ExchangeWithMaster(std::string& message);
    EWait WaitForMaster(CSockUDP& socket, std::chrono::steady_clock::time_point until);
    // Reads what reached the socket until a datagram of the master's comes; Timeout when none
    // came before until.
    EWait ReadUntilMaster(CSockUDP& socket, std::chrono::steady_clock::time_point until,
                          std::string& datagram);
    void Worker(unsigned run, int limit);
    void RunWorker(unsigned run, int limit);
    void FinishWorker();

    CQueryWindowInterface& m_window;
    CServerList m_list;
    CSockAddr m_master;
    CSysEvent m_stop;
    bool m_includeEmpty = false;
    bool m_includeFull = true;
    std::uint32_t m_firstWaitMs = 1000;
    std::uint32_t m_waitStepMs = 500;
    std::uint32_t m_readLimitMs = kMasterReadLimitMs;
    bool m_inMasterExchange = false;
    CSysEvent m_cancelMaster;

    std::shared_ptr<CCountryCache> m_countries;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_running = false;
    std::atomic<unsigned> m_run{0};
};
