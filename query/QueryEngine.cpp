#include "query/QueryEngine.h"

#include "net/SockErr.h"
#include "net/SockUDP.h"
#include "net/SysEvent.h"
#include "query/Protocol.h"
#include "query/QueryWindow.h"

#include <chrono>
#include <deque>
#include <system_error>

namespace {

constexpr int kStopWaitMs = 5000;
constexpr int kTickMs = 200;
constexpr int kProbes = 3;
constexpr int kDefaultSpeed = 1;

// Shows the wait cursor for as long as the master exchange runs, however it ends.
class CWaitCursor {
public:
    explicit CWaitCursor(CQueryWindowInterface& window) : m_window(window) {
        m_window.SetWaitCursor(true);
    }
    ~CWaitCursor() { m_window.SetWaitCursor(false); }

private:
    CQueryWindowInterface& m_window;
};

} // namespace

int CQueryEngine::LimitOfSpeed(int speedIndex) {
    if (speedIndex < 0 || speedIndex > 5)
        speedIndex = kDefaultSpeed;
    return 1 << speedIndex;
}

CQueryEngine::CQueryEngine(CQueryWindowInterface& window) : m_window(window) {}

CQueryEngine::~CQueryEngine() {
    StopQuery(-1);
}

void CQueryEngine::SetMasterWaits(std::uint32_t firstWaitMs, std::uint32_t stepMs) {
    m_firstWaitMs = firstWaitMs;
    m_waitStepMs = stepMs;
}

bool CQueryEngine::IsRunning() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}

bool CQueryEngine::PrepareQuery() {
    if (IsRunning() && !StopQuery(kStopWaitMs))
        return false;
    m_includeEmpty = m_window.GetIncludeEmpty();
    m_includeFull = m_window.GetIncludeFull();
    return true;
}

CQueryEngine::EMasterResult CQueryEngine::QueryMaster() {
    CWaitCursor cursor(m_window);
    if (!PrepareQuery())
        return EMasterResult::Busy;
    try {
        std::string request = BuildMasterRequest(m_window.GetVersionIndex() + kFirstProtocol);
        CSockUDP socket;
        socket.Open();
        int tries = kProbes;
        std::uint32_t wait = m_firstWaitMs;
        while (tries > 0) {
            ThrowSockErr(socket.Send(request, m_master));
            if (WaitForSingleObject(socket.GetEvent(), wait) != WAIT_OBJECT_0) {
                --tries;
                wait += m_waitStepMs;
                continue;
            }
            if (CSockUDP::HasEvent(socket.GetNetworkEvents(), FD_READ))
                break;
        }
        if (tries == 0) {
            m_window.ShowMessage("No response from master server.", false);
            return EMasterResult::NoResponse;
        }
        ThrowSockErr(socket.Send(request, m_master));
        m_list.Clear();
        // The records of the last run are gone: its results still on their way must not count
        // as current, even if the read below fails and no new run starts.
        ++m_run;
        do {
            if (CSockUDP::HasEvent(socket.GetNetworkEvents(), FD_READ)) {
                std::string datagram;
                ThrowSockErr(ReceiveMasterReply(socket, datagram));
                ParseMasterReply(datagram, m_list);
            }
        } while (WaitForSingleObject(socket.GetEvent(), 2 * wait) == WAIT_OBJECT_0);
    } catch (const CError& error) {
        m_window.ShowMessage(error.GetMessage(), true);
        return EMasterResult::Failed;
    }
    StartQuery();
    return EMasterResult::Started;
}

int CQueryEngine::ReceiveMasterReply(CSockUDP& socket, std::string& datagram) {
    return socket.Receive(datagram);
}

void CQueryEngine::StartQuery() {
    std::unique_lock lock(m_mutex);
    if (m_running)
        return;
    if (m_thread.joinable())
        m_thread.join(); // the last worker has already marked its end
    m_running = true;
    lock.unlock();

    m_stop.ResetEvent();
    unsigned run = ++m_run;
    for (auto& [address, record] : m_list)
        record.Reset();
    m_window.OnQueryStarted(run, m_list.Size());
    try {
        m_thread =
            std::thread(&CQueryEngine::Worker, this, run, LimitOfSpeed(m_window.GetSpeedIndex()));
    } catch (const std::system_error& error) {
        // No thread, so nothing would ever clear the mark and every later query would be refused.
        m_window.ShowMessage(error.what(), true);
        FinishWorker();
    }
}

bool CQueryEngine::StopQuery(int timeoutMs) {
    m_stop.SetEvent();
    std::unique_lock lock(m_mutex);
    auto ended = [this] { return !m_running; };
    if (timeoutMs < 0)
        m_ended.wait(lock, ended);
    else if (!m_ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended))
        return false;
    lock.unlock();
    if (m_thread.joinable())
        m_thread.join();
    return true;
}

void CQueryEngine::RequestStop() {
    m_stop.SetEvent();
}

void CQueryEngine::Worker(unsigned run, int limit) {
    try {
        RunWorker(run, limit);
    } catch (const CError& error) {
        m_window.ShowMessage(error.GetMessage(), false);
    } catch (...) {
        m_window.ShowMessage("Unhandled Unknown Exception!", false);
    }
    FinishWorker();
}

void CQueryEngine::FinishWorker() {
    std::lock_guard lock(m_mutex);
    m_running = false;
    m_ended.notify_all();
}

void CQueryEngine::RunWorker(unsigned run, int limit) {
    CSysTimer timer(kTickMs);
    CSockUDP socket;
    socket.Open();
    std::deque<CServerRecord*> inFlight;
    auto next = m_list.begin();

    for (;;) {
        std::uint32_t signalled = WaitForMultipleObjects({&m_stop, &socket.GetEvent(), &timer});
        if (signalled == WAIT_OBJECT_0)
            return;
        if (signalled == WAIT_OBJECT_0 + 1) {
            if (!CSockUDP::HasEvent(socket.GetNetworkEvents(), FD_READ))
                continue;
            std::string datagram;
            CSockAddr sender;
            if (socket.Receive(datagram, sender) != 0)
                continue;
            if (CServerRecord* record = m_list.Find(sender))
                record->OnReply(datagram);
            continue;
        }
        if (signalled == WAIT_FAILED) // waiting again would spin for ever
            throw CSockErr(GetLastSockError());
        if (signalled != WAIT_OBJECT_0 + 2)
            continue;

        if (next == m_list.end() && inFlight.empty())
            return;
        int sent = 0;
        for (auto it = inFlight.begin(); it != inFlight.end();) {
            CServerRecord* record = *it;
            if (record->TrySend(socket)) {
                ++sent;
                ++it;
            } else if (record->IsDone()) {
                m_window.PostServerDone(run, record);
                it = inFlight.erase(it);
            } else
                ++it;
        }
        for (; next != m_list.end() && sent < limit; ++next, ++sent) {
            next->second.TrySend(socket);
            inFlight.push_back(&next->second);
        }
    }
}
