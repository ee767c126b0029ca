#include "query/ServerRecord.h"

#include "net/SockUDP.h"
#include "query/Protocol.h"

#include <algorithm>
#include <chrono>

const char* const kGameTypeNames = "Free for all\nHolocron\nJedi Master\nDuel\n4?\nTeam Death "
                                   "Match\n6?\nCapture the flag\nCapture the "
                                   "Ysalamari\n9?\n10\n11?\n12?\n13?\n14?\n15?\n16?\n17?\n18?\n19?"
                                   "\n20?\n";

std::string GameTypeName(std::int32_t gameType) {
    std::string_view names = kGameTypeNames;
    for (std::int32_t i = 0; gameType >= 0 && !names.empty(); ++i) {
        std::size_t end = names.find('\n');
        if (i == gameType)
            return std::string(names.substr(0, end));
        if (end == std::string_view::npos)
            break;
        names.remove_prefix(end + 1);
    }
    return std::string();
}

namespace {

// Pings come from a monotonic clock in nanoseconds; whole milliseconds are taken, truncated.
std::int64_t ClockNow() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

CServerRecord::CServerRecord(const CSockAddr& address) : m_address(address) {
    Reset();
    m_name = m_address.Format();
}

CServerRecord::CServerRecord(const CSockAddr& address, std::string name, std::string password)
    : m_address(address), m_name(std::move(name)), m_password(std::move(password)) {
    Reset();
}

void CServerRecord::Reset() {
    m_state = 0;
    m_timeoutMs = kTimeoutMs;
    m_ping = kNoPing;
    m_gameType = 0;
    m_maxClients = 0;
    m_players.clear();
    m_variables.clear();
}

void CServerRecord::TakeQueryResult(const CServerRecord& fresh) {
    m_name = fresh.m_name;
    m_map = fresh.m_map;
    m_gameType = fresh.m_gameType;
    m_maxClients = fresh.m_maxClients;
    m_ping = fresh.m_ping;
    m_players = fresh.m_players;
    m_variables = fresh.m_variables;
    m_sentAt = fresh.m_sentAt;
    m_timeoutMs = fresh.m_timeoutMs;
    m_state = fresh.m_state;
}

std::uint32_t CServerRecord::ElapsedMs() const {
    return static_cast<std::uint32_t>((ClockNow() - m_sentAt) / 1000000);
}

bool CServerRecord::TrySend(CSockUDP& socket) {
    if (m_state != 0 && ElapsedMs() <= m_timeoutMs)
        return false;
    ++m_state;
    if (m_state > 2)
        return false;
    int length = static_cast<int>(kStatusRequest.size());
    socket.Send(kStatusRequest.data(), length, m_address); // a lost request just times out
    // Read once the send has returned, so the time the call took is not counted as ping; the
    // reply's own arrival time comes from the system.
    m_sentAt = ClockNow();
    return true;
}

void CServerRecord::OnReply(std::string_view reply) {
    OnReply(reply, std::chrono::steady_clock::now());
}

void CServerRecord::OnReply(std::string_view reply, std::chrono::steady_clock::time_point arrived) {
    // A record that has no request outstanding (never asked, or finished) ignores replies, so
    // a stray datagram cannot give it a ping measured from nothing.
    if (IsDone() || m_state == 0)
        return;
    const std::int64_t elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(arrived.time_since_epoch()).count() -
        m_sentAt;
    // A reply the system stamped before this thread read the clock after its send came back.
    m_ping = static_cast<std::int32_t>(std::clamp<std::int64_t>(elapsed / 1000000, 0, kNoPing));
    m_state = kStateAnswered;
    ParseStatus(reply);
}

CServerRecord* CServerList::Find(const CSockAddr& address) {
    auto it = m_map.find(address);
    return it == m_map.end() ? nullptr : &it->second;
}

CServerRecord& CServerList::FindOrInsert(const CSockAddr& address) {
    return m_map.try_emplace(address, address).first->second;
}
