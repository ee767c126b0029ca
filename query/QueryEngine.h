// The query engine: the master exchange on the window's thread and the worker thread that
// queries every listed server with pacing, one resend, time-outs and pings.
// Threading: all operations are called on the window's thread. While a worker runs it alone
// writes the records; it hands each finished record over through PostServerDone.
#pragma once

#include "net/SockAddr.h"
#include "net/SysEvent.h"
#include "query/ServerRecord.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
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
    };

    // Requests per 200 ms tick for a Speed index; out-of-range indexes count as "ISDN".
    static int LimitOfSpeed(int speedIndex);

    explicit CQueryEngine(CQueryWindowInterface& window);
    virtual ~CQueryEngine(); // stops a running worker and waits for it
    CQueryEngine(const CQueryEngine&) = delete;
    CQueryEngine& operator=(const CQueryEngine&) = delete;

    EMasterResult QueryMaster();
    // Stop and capture for a query over a list the caller fills (the favourites); false if a
    // running worker did not stop within 5000 ms.
    bool PrepareQuery();
    // Starts a worker over the current list; does nothing if one runs.
    void StartQuery();
    // true if no worker runs any more; a negative time-out waits without limit.
    bool StopQuery(int timeoutMs);
    void RequestStop();
    bool IsRunning() const;
    bool IsCurrentRun(unsigned run) const { return run == m_run.load(); }

    CServerList& GetServerList() { return m_list; }
    const CSockAddr& GetMasterAddress() const { return m_master; }
    void SetMasterAddress(const CSockAddr& address) { m_master = address; }
    bool GetIncludeEmpty() const { return m_includeEmpty; }
    bool GetIncludeFull() const { return m_includeFull; }

    // Waits for the master's datagrams; shortened by tests against a loopback master.
    void SetMasterWaits(std::uint32_t firstWaitMs, std::uint32_t stepMs);

protected:
    // One datagram of the master's answer; a test makes it fail to reach the error path.
    virtual int ReceiveMasterReply(CSockUDP& socket, std::string& datagram);

private:
    void Worker(unsigned run, int limit);
    void RunWorker(unsigned run, int limit);
    void ReadMaster();
    void FinishWorker();

    CQueryWindowInterface& m_window;
    CServerList m_list;
    CSockAddr m_master;
    CSysEvent m_stop;
    bool m_includeEmpty = false;
    bool m_includeFull = true;
    std::uint32_t m_firstWaitMs = 1000;
    std::uint32_t m_waitStepMs = 500;

    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_running = false;
    std::atomic<unsigned> m_run{0};
};
