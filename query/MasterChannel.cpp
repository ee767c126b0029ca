#include "query/MasterChannel.h"

#include "query/Protocol.h"

CMasterChannel::CMasterChannel(std::size_t master, int protocol, std::uint32_t firstWaitMs,
                               std::uint32_t waitStepMs)
    : m_master(master), m_protocol(protocol), m_waitMs(firstWaitMs), m_waitStepMs(waitStepMs) {}

void CMasterChannel::OnSent(Clock::time_point now) {
    if (m_state == EState::Probing)
        m_due = now + std::chrono::milliseconds(m_waitMs);
}

bool CMasterChannel::OnDue(Clock::time_point now) {
    if (m_state == EState::Reading) {
        m_state = EState::Done;
        return false;
    }
    if (m_state != EState::Probing || now < m_due)
        return false;
    if (--m_tries == 0) {
        m_state = EState::Silent;
        return false;
    }
    m_waitMs += m_waitStepMs;
    return true;
}

bool CMasterChannel::OnDatagram(std::string_view datagram, Clock::time_point now,
                                std::size_t maxListed) {
    if (!IsOpen())
        return false;
    const bool first = m_state == EState::Probing;
    m_state = EState::Reading;
    const CMasterReply reply = ReadMasterReply(datagram);
    for (const CSockAddr& server : reply.m_servers) {
        if (m_servers.size() >= maxListed)
            break;
        if (m_seen.insert(server).second)
            m_servers.push_back(server);
    }
    m_sawEndMarker = m_sawEndMarker || reply.m_endMarker;
    // A master that marks its end sends its datagrams in one burst, possibly reordered; one
    // that never marks it gets the quiet period of twice the probe's wait.
    m_due = now + (m_sawEndMarker ? std::chrono::milliseconds(kAfterEndMarker)
                                  : std::chrono::milliseconds(2 * m_waitMs));
    return first;
}

void CMasterChannel::GiveUp() {
    if (m_state == EState::Probing)
        m_state = EState::Silent;
}

void CMasterChannel::Finish() {
    if (m_state == EState::Reading)
        m_state = EState::Done;
}
