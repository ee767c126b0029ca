#include "query/QueryEngine.h"

#include "net/SockErr.h"
#include "net/SockUDP.h"
#include "net/SysEvent.h"
#include "query/Protocol.h"
#include "query/QueryWindow.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <system_error>

namespace {

constexpr int kStopWaitMs = 5000;
constexpr int kTickMs = 200;
constexpr int kProbes = 3;
constexpr int kDefaultSpeed = 1;
// Datagrams the worker reads per wake-up before it looks at the stop event and the timer.
constexpr int kDatagramsPerWake = 64;

using Clock = std::chrono::steady_clock;

// Shows the wait cursor for as long as the master exchange runs, however it ends.
class CWaitCursor {
public:
    explicit CWaitCursor(CQueryWindowInterface& window) : m_window(window) {
        m_window.SetWaitCursor(true);
    }
    ~CWaitCursor() { m_window.SetWaitCursor(false); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    CQueryWindowInterface& m_window;
};

// Marks the master exchange as running for as long as it does, however it ends.
class CExchangeMark {
public:
    explicit CExchangeMark(bool& mark) : m_mark(mark) { m_mark = true; }
    ~CExchangeMark() { m_mark = false; }
    CExchangeMark(const CExchangeMark&) = delete;
    CExchangeMark& operator=(const CExchangeMark&) = delete;

private:
    bool& m_mark;
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

void CQueryEngine::SetMasterWaits(std::uint32_t firstWaitMs, std::uint32_t stepMs,
                                  std::uint32_t readLimitMs) {
    m_firstWaitMs = firstWaitMs;
    m_waitStepMs = stepMs;
    m_readLimitMs = readLimitMs;
}

bool CQueryEngine::IsRunning() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}

bool CQueryEngine::PrepareQuery() {
    return !m_inMasterExchange && StopAndCapture();
}

bool CQueryEngine::StopAndCapture() {
    if (IsRunning() && !StopQuery(kStopWaitMs))
        return false;
    m_includeEmpty = m_window.GetIncludeEmpty();
    m_includeFull = m_window.GetIncludeFull();
    return true;
}

void CQueryEngine::CancelMasterQuery() {
    if (m_inMasterExchange)
        m_cancelMaster.SetEvent();
}

CQueryEngine::EMasterResult CQueryEngine::QueryMaster() {
    if (m_inMasterExchange)
        return EMasterResult::Busy;
    std::string message;
    EMasterResult result = EMasterResult::Busy;
    {
        CWaitCursor cursor(m_window);
        CExchangeMark mark(m_inMasterExchange);
        m_cancelMaster.ResetEvent();
        result = ExchangeWithMaster(message);
    }
    // The cursor is back to normal before the user reads why nothing came.
    if (!message.empty())
        m_window.ShowMessage(message, result == EMasterResult::Failed);
    return result;
}

CQueryEngine::EMasterResult CQueryEngine::ExchangeWithMaster(std::string& message) {
    if (!StopAndCapture())
        return EMasterResult::Busy;
    try {
        std::string request = BuildMasterRequest(m_window.GetVersionIndex() + kFirstProtocol);
        CSockUDP socket;
        socket.Open();
        std::string datagram;
        std::uint32_t wait = m_firstWaitMs;
        EWait answer = EWait::Timeout;
        for (int tries = kProbes; tries > 0; --tries, wait += m_waitStepMs) {
            ThrowSockErr(socket.Send(request, m_master));
            answer =
                ReadUntilMaster(socket, Clock::now() + std::chrono::milliseconds(wait), datagram);
            if (answer != EWait::Timeout)
                break;
        }
        if (answer == EWait::Cancelled)
            return EMasterResult::Cancelled;
        if (answer == EWait::Timeout) {
            message = "No response from master server.";
            return EMasterResult::NoResponse;
        }
        ThrowSockErr(socket.Send(request, m_master));
        m_list.Clear();
        // The records of the last run are gone: its results still on their way must not count
        // as current, even if the read below fails and no new run starts.
        ++m_run;
        ParseMasterReply(datagram, m_list);
        // Only the master's own datagrams keep the read going, and never past the bound.
        const Clock::time_point end = Clock::now() + std::chrono::milliseconds(m_readLimitMs);
        while (m_list.Size() < kMaxListedServers) {
            const Clock::time_point quiet = Clock::now() + std::chrono::milliseconds(2 * wait);
            const EWait got = ReadUntilMaster(socket, std::min(quiet, end), datagram);
            if (got == EWait::Cancelled)
                return EMasterResult::Cancelled;
            if (got == EWait::Timeout)
                break;
            ParseMasterReply(datagram, m_list);
        }
    } catch (const CError& error) {
        message = error.GetMessage();
        return EMasterResult::Failed;
    }
    StartQuery();
    return EMasterResult::Started;
}

CQueryEngine::EWait CQueryEngine::ReadUntilMaster(CSockUDP& socket, Clock::time_point until,
                                                  std::string& datagram) {
    for (;;) {
        const EWait got = WaitForMaster(socket, until);
        if (got != EWait::Socket)
            return got;
        if (!CSockUDP::HasEvent(socket.GetNetworkEvents(), FD_READ))
            continue;
        CSockAddr sender;
        ThrowSockErr(ReceiveMasterReply(socket, datagram, sender));
        if (sender == m_master)
            return EWait::Socket;
        // Anyone else's datagram is dropped, and this wait goes on to its old end.
    }
}

CQueryEngine::EWait CQueryEngine::WaitForMaster(CSockUDP& socket, Clock::time_point until) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    // Checked before waiting: a socket that is never quiet would otherwise win every wait.
    if (left <= 0)
        return EWait::Timeout;
    const std::uint32_t signalled = m_window.WaitDuringMasterExchange(
        {&m_cancelMaster, &socket.GetEvent()}, static_cast<std::uint32_t>(left));
    if (signalled == WAIT_OBJECT_0)
        return EWait::Cancelled;
    if (signalled == WAIT_OBJECT_0 + 1)
        return EWait::Socket;
    if (signalled == WAIT_FAILED)
        throw CSockErr(GetLastSockError());
    return EWait::Timeout;
}

int CQueryEngine::ReceiveMasterReply(CSockUDP& socket, std::string& datagram, CSockAddr& sender) {
    return socket.Receive(datagram, sender);
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
    socket.EnableArrivalTimes();
    std::deque<CServerRecord*> inFlight;
    auto next = m_list.begin();

    for (;;) {
        std::uint32_t signalled = WaitForMultipleObjects({&m_stop, &socket.GetEvent(), &timer});
        if (signalled == WAIT_OBJECT_0)
            return;
        if (signalled == WAIT_OBJECT_0 + 1) {
            for (int read = 0; read < kDatagramsPerWake; ++read) {
                if (!CSockUDP::HasEvent(socket.GetNetworkEvents(), FD_READ))
                    break;
                std::string datagram;
                CSockAddr sender;
                Clock::time_point arrived;
                if (socket.Receive(datagram, sender, arrived) != 0)
                    continue;
                if (CServerRecord* record = m_list.Find(sender))
                    record->OnReply(datagram, arrived);
            }
            // However busy the socket, the stop and then the timer get their turn after each
            // batch: a flood of datagrams must not hold the pacing up.
            signalled = WaitForMultipleObjects({&m_stop, &timer}, 0);
            if (signalled == WAIT_OBJECT_0)
                return;
            if (signalled != WAIT_OBJECT_0 + 1)
                continue;
        } else if (signalled == WAIT_FAILED) // waiting again would spin for ever
            throw CSockErr(GetLastSockError());
        else if (signalled != WAIT_OBJECT_0 + 2)
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
                // Looked up here, once per address, so the window never waits for a database.
                if (m_countries)
                    record->m_country = m_countries->Find(record->m_address);
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
