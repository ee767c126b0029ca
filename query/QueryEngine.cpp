#include "query/QueryEngine.h"

#include "net/SockErr.h"
#include "net/SockUDP.h"
#include "net/SysEvent.h"
#include "query/MasterChannel.h"
#include "query/Protocol.h"
#include "query/QueryWindow.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <system_error>
#include <unordered_map>

namespace {

constexpr int kStopWaitMs = 5000;
constexpr int kTickMs = 200;
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

std::vector<int> ProtocolsOfVersion(int versionIndex) {
    if (versionIndex == 2)
        return {kFirstProtocol, kFirstProtocol + 1};
    return {kFirstProtocol + versionIndex};
}

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
        result = ExchangeWithMasters(message);
    }
    // The cursor is back to normal before the user reads why nothing came.
    if (!message.empty())
        m_window.ShowMessage(message, result == EMasterResult::Failed);
    return result;
}

CQueryEngine::EMasterResult CQueryEngine::ExchangeWithMasters(std::string& message) {
    if (!StopAndCapture())
        return EMasterResult::Busy;
    m_report = {};
    m_listCleared = false;
    m_runStarted = false;
    m_fed = 0;
    m_finished = 0;
    const std::vector<CMasterTarget> masters = ResolveMasters(m_masters);
    std::vector<int> protocols = ProtocolsOfVersion(m_window.GetVersionIndex());
    std::vector<std::string> requests;
    for (int protocol : protocols)
        requests.push_back(BuildMasterRequest(protocol));
    std::vector<CMasterChannel> channels;
    for (std::size_t m = 0; m < masters.size(); ++m) {
        if (!masters[m].m_resolved) {
            m_report.m_unresolved.push_back(masters[m].m_text);
            continue;
        }
        for (int protocol : protocols)
            channels.emplace_back(m, protocol, m_firstWaitMs, m_waitStepMs);
    }
    std::vector<bool> delivered(channels.size(), false);
    auto socketOf = [&](const CMasterChannel& channel) {
        return channel.Protocol() == protocols.front() ? std::size_t{0} : std::size_t{1};
    };

    EMasterResult result = EMasterResult::Started;
    try {
        // A master's reply does not say which request it answers, so each protocol asks from
        // a socket of its own.
        CSockUDP sockets[2];
        for (CSockUDP& socket : sockets) // both, so the wait below has two real sockets
            socket.Open();
        const Clock::time_point start = Clock::now();
        for (CMasterChannel& channel : channels) {
            const std::size_t i = socketOf(channel);
            ThrowSockErr(sockets[i].Send(requests[i], masters[channel.Master()].m_address));
            channel.OnSent(start);
        }
        const Clock::time_point bound = start + std::chrono::milliseconds(m_readLimitMs);
        const Clock::time_point grace = start + std::chrono::milliseconds(kSilentGraceMs);

        for (;;) {
            const Clock::time_point now = Clock::now();
            bool open = false, reading = false, answered = false;
            Clock::time_point until = bound;
            for (std::size_t c = 0; c < channels.size(); ++c) {
                CMasterChannel& channel = channels[c];
                if (channel.State() == CMasterChannel::EState::Reading &&
                    channel.Servers().size() >= kMaxListedServers)
                    channel.Finish();
                if (channel.IsOpen() && now >= bound) {
                    channel.Finish();
                    channel.GiveUp();
                } else if (channel.IsOpen() && now >= channel.Due()) {
                    if (channel.OnDue(now)) {
                        const std::size_t i = socketOf(channel);
                        ThrowSockErr(
                            sockets[i].Send(requests[i], masters[channel.Master()].m_address));
                        channel.OnSent(now);
                    }
                }
                if (channel.State() == CMasterChannel::EState::Done && !delivered[c]) {
                    delivered[c] = true;
                    Deliver(channel, masters[channel.Master()].m_address, true);
                }
                open = open || channel.IsOpen();
                reading = reading || channel.State() == CMasterChannel::EState::Reading;
                answered = answered || channel.State() == CMasterChannel::EState::Done ||
                           channel.State() == CMasterChannel::EState::Reading;
                if (channel.IsOpen())
                    until = std::min(until, channel.Due());
            }
            if (!open)
                break;
            // Nothing is left to query and every master that answered has listed all it has:
            // one still silent holds nobody back.
            if (answered && !reading && m_finished.load() == m_fed) {
                if (now >= grace) {
                    for (CMasterChannel& channel : channels)
                        channel.GiveUp();
                    continue;
                }
                until = std::min(until, grace);
            }
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0)
                continue;
            const std::uint32_t signalled = m_window.WaitDuringMasterExchange(
                {&m_cancelMaster, &sockets[0].GetEvent(), &sockets[1].GetEvent(), &m_runIdle},
                static_cast<std::uint32_t>(left));
            if (signalled == WAIT_OBJECT_0) {
                result = EMasterResult::Cancelled;
                break;
            }
            if (signalled == WAIT_FAILED)
                throw CSockErr(GetLastSockError());
            if (signalled == WAIT_OBJECT_0 + 1 || signalled == WAIT_OBJECT_0 + 2) {
                const std::size_t i = signalled - WAIT_OBJECT_0 - 1;
                ReadMasterSocket(sockets[i], i, channels, masters, requests);
            }
        }
    } catch (const CError& error) {
        message = error.GetMessage();
        result = EMasterResult::Failed;
    }

    // An exchange cut short keeps what was read: in the run when one goes on, else only in
    // the list.
    for (std::size_t c = 0; c < channels.size(); ++c) {
        if (channels[c].State() != CMasterChannel::EState::Reading)
            continue;
        channels[c].Finish();
        Deliver(channels[c], masters[channels[c].Master()].m_address, m_runStarted);
    }
    for (std::size_t m = 0; m < masters.size(); ++m) {
        if (!masters[m].m_resolved)
            continue;
        bool heard = false;
        for (const CMasterChannel& channel : channels)
            heard = heard ||
                    (channel.Master() == m && channel.State() != CMasterChannel::EState::Silent &&
                     channel.State() != CMasterChannel::EState::Probing);
        (heard ? m_report.m_answered : m_report.m_silent).push_back(masters[m].m_text);
    }
    if (m_runStarted) {
        EndListing();
        return result;
    }
    if (result != EMasterResult::Started)
        return result;
    if (!m_listCleared) {
        message = "No response from master server.";
        return EMasterResult::NoResponse;
    }
    // The masters answered with no server at all: a run of none, which ends at once.
    StartRun(false);
    return EMasterResult::Started;
}

void CQueryEngine::ReadMasterSocket(CSockUDP& socket, std::size_t socketIndex,
                                    std::vector<CMasterChannel>& channels,
                                    const std::vector<CMasterTarget>& masters,
                                    const std::vector<std::string>& requests) {
    const std::vector<int> protocols = ProtocolsOfVersion(m_window.GetVersionIndex());
    for (int read = 0; read < kDatagramsPerWake; ++read) {
        if (!CSockUDP::HasEvent(socket.GetNetworkEvents(), FD_READ))
            return;
        std::string datagram;
        CSockAddr sender;
        ThrowSockErr(ReceiveMasterReply(socket, datagram, sender));
        // Only a master's own datagrams count, and only for the request of this socket.
        for (CMasterChannel& channel : channels) {
            if (masters[channel.Master()].m_address != sender ||
                (channel.Protocol() == protocols.front()) != (socketIndex == 0))
                continue;
            if (!m_listCleared) {
                m_list.Clear();
                m_listCleared = true;
                // The records of the last run are gone: its results still on their way must
                // not count as current, even if no new run starts.
                ++m_run;
            }
            if (channel.OnDatagram(datagram, Clock::now(), kMaxListedServers))
                ThrowSockErr(socket.Send(requests[socketIndex], sender));
        }
    }
}

void CQueryEngine::Deliver(const CMasterChannel& channel, const CSockAddr& master, bool query) {
    std::vector<CServerRecord*> added;
    for (const CSockAddr& address : channel.Servers()) {
        if (CServerRecord* known = m_list.Find(address)) {
            // Only the window's thread writes these two fields, so noting another master of a
            // server the worker is querying is safe.
            if (std::find(known->m_masters.begin(), known->m_masters.end(), master) ==
                known->m_masters.end())
                known->m_masters.push_back(master);
            continue;
        }
        if (m_list.Size() >= kMaxListedServers)
            break;
        CServerRecord& record = m_list.FindOrInsert(address);
        record.m_protocol = channel.Protocol();
        record.m_masters = {master};
        added.push_back(&record);
    }
    if (!query || added.empty())
        return;
    if (!m_runStarted) {
        StartRun(true);
        return;
    }
    m_fed += added.size();
    m_feed.Add(added);
    m_window.OnQueryGrown(m_run.load(), added);
}

void CQueryEngine::EndListing() {
    if (!m_listing)
        return;
    m_listing = false;
    m_feed.Close();
    m_window.OnListingComplete(m_run.load());
}

int CQueryEngine::ReceiveMasterReply(CSockUDP& socket, std::string& datagram, CSockAddr& sender) {
    return socket.Receive(datagram, sender);
}

void CQueryEngine::StartQuery() {
    StartRun(false);
}

void CQueryEngine::StartRun(bool listing) {
    std::unique_lock lock(m_mutex);
    if (m_running)
        return;
    if (m_thread.joinable())
        m_thread.join(); // the last worker has already marked its end
    m_running = true;
    lock.unlock();

    m_stop.ResetEvent();
    m_runIdle.ResetEvent();
    unsigned run = ++m_run;
    ++m_refresh; // results of a refresh still on their way are of records no longer shown
    std::vector<CServerRecord*> records;
    for (auto& [address, record] : m_list) {
        record.Reset();
        records.push_back(&record);
    }
    m_fed = records.size();
    m_finished = 0;
    m_feed.Reset(std::move(records), !listing);
    m_listing = listing;
    m_runStarted = true;
    m_window.OnQueryStarted(run, m_list.Size());
    try {
        m_thread = std::thread(&CQueryEngine::Worker, this, run,
                               LimitOfSpeed(m_window.GetSpeedIndex()), false);
    } catch (const std::system_error& error) {
        // No thread, so nothing would ever clear the mark and every later query would be refused.
        m_listing = false;
        m_window.ShowMessage(error.what(), true);
        FinishWorker();
    }
}

bool CQueryEngine::StartRefresh(const std::vector<CSockAddr>& servers) {
    if (m_inMasterExchange)
        return false;
    std::unique_lock lock(m_mutex);
    if (m_running)
        return false;
    if (m_thread.joinable())
        m_thread.join(); // the last worker has already marked its end
    m_running = true;
    lock.unlock();

    m_stop.ResetEvent();
    // No worker runs, so the last refresh's records are nobody's any more.
    m_refreshed.clear();
    for (const CSockAddr& address : servers) {
        const CServerRecord* listed = m_list.Find(address);
        if (listed == nullptr)
            continue;
        CServerRecord& fresh =
            m_refreshed.emplace_back(address, listed->m_name, listed->m_password);
        fresh.m_map = listed->m_map;
    }
    std::vector<CServerRecord*> records;
    for (CServerRecord& fresh : m_refreshed)
        records.push_back(&fresh);
    m_feed.Reset(std::move(records), true);
    const unsigned refresh = ++m_refresh;
    m_window.OnRefreshStarted(refresh, m_refreshed.size());
    try {
        m_thread = std::thread(&CQueryEngine::Worker, this, refresh,
                               LimitOfSpeed(m_window.GetSpeedIndex()), true);
    } catch (const std::system_error& error) {
        m_window.ShowMessage(error.what(), true);
        FinishWorker();
        return false;
    }
    return true;
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

void CQueryEngine::Worker(unsigned run, int limit, bool refresh) {
    try {
        RunWorker(run, limit, refresh);
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

void CQueryEngine::RunWorker(unsigned run, int limit, bool refresh) {
    CSysTimer timer(kTickMs);
    CSockUDP socket;
    socket.Open();
    socket.EnableArrivalTimes();
    // The worker's own index of the records it was handed: the list itself may grow on the
    // window's thread meanwhile.
    struct CEntry {
        CServerRecord* record;
        bool posted = false;
    };
    struct CAddressHash {
        std::size_t operator()(const CSockAddr& a) const {
            return std::hash<std::uint64_t>{}(std::uint64_t{a.AddressKey()} << 16 | a.PortKey());
        }
    };
    std::unordered_map<CSockAddr, CEntry, CAddressHash> entries;
    std::deque<CEntry*> toDispatch;
    std::deque<CEntry*> inFlight;
    std::size_t outstanding = 0; // dispatched, not yet posted
    std::vector<CServerRecord*> taken;
    bool closed = false;

    auto post = [&](CEntry& entry) {
        if (refresh)
            m_window.PostRefreshDone(run, entry.record);
        else
            m_window.PostServerDone(run, entry.record);
        entry.posted = true;
        --outstanding;
        ++m_finished;
        if (outstanding == 0 && toDispatch.empty())
            m_runIdle.SetEvent();
    };

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
                auto found = entries.find(sender);
                // A posted record is the window's: late and repeated replies leave it alone.
                if (found == entries.end() || found->second.posted)
                    continue;
                CServerRecord* record = found->second.record;
                if (record->m_state == 0)
                    continue; // not asked yet
                record->OnReply(datagram, arrived);
                // An answer is shown as soon as it is in, not at the next tick; a stop that came
                // meanwhile still wins over the next datagram.
                if (record->IsDone()) {
                    post(found->second);
                    if (WaitForMultipleObjects({&m_stop}, 0) == WAIT_OBJECT_0)
                        return;
                    // The last answer of a run that can no longer grow ends it now, so the
                    // next query or refresh need not wait for a tick.
                    if (closed && toDispatch.empty() && outstanding == 0)
                        return;
                }
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

        taken.clear();
        closed = m_feed.Take(taken);
        for (CServerRecord* record : taken) {
            auto [it, added] = entries.try_emplace(record->m_address, CEntry{record});
            if (added)
                toDispatch.push_back(&it->second);
            else
                ++m_finished; // listed twice: counted once, never posted twice
        }
        if (closed && toDispatch.empty() && inFlight.empty())
            return;
        int sent = 0;
        for (auto it = inFlight.begin(); it != inFlight.end();) {
            CEntry* entry = *it;
            if (entry->posted) {
                it = inFlight.erase(it);
            } else if (entry->record->TrySend(socket)) {
                ++sent;
                ++it;
            } else if (entry->record->IsDone()) {
                post(*entry);
                it = inFlight.erase(it);
            } else
                ++it;
        }
        for (; !toDispatch.empty() && sent < limit; ++sent) {
            CEntry* entry = toDispatch.front();
            toDispatch.pop_front();
            entry->record->TrySend(socket);
            inFlight.push_back(entry);
            ++outstanding;
        }
    }
}
