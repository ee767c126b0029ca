// One master asked for one protocol: its probes, when its list is complete, and the servers it
// listed. Pure bookkeeping over times the caller passes, so its rules are tested without
// sockets; the query engine does the sending and receiving.
#pragma once

#include "net/SockAddr.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string_view>
#include <vector>

class CMasterChannel {
public:
    using Clock = std::chrono::steady_clock;

    enum class EState {
        Probing, // asked, no answer yet
        Reading, // answered; more datagrams may come
        Done,    // its list is complete
        Silent,  // it answered none of its probes
    };

    // After a datagram that carried the end marker, or any datagram of a master that has sent
    // one, the list is complete once no datagram came for this long.
    static constexpr std::chrono::milliseconds kAfterEndMarker{300};
    static constexpr int kProbes = 3;

    CMasterChannel(std::size_t master, int protocol, std::uint32_t firstWaitMs,
                   std::uint32_t waitStepMs);

    std::size_t Master() const { return m_master; }
    int Protocol() const { return m_protocol; }
    EState State() const { return m_state; }
    bool IsOpen() const { return m_state == EState::Probing || m_state == EState::Reading; }
    // When OnDue must run next; only for an open channel.
    Clock::time_point Due() const { return m_due; }

    // A request went out (a probe, or the one repeat after the first answer).
    void OnSent(Clock::time_point now);
    // The due time passed: true when a probe must be sent again now. A probing channel whose
    // tries are used up turns silent; a reading one is done.
    bool OnDue(Clock::time_point now);
    // A datagram from this master to this protocol's request. True when it is the first answer,
    // after which the request is sent once more. At most `maxListed` servers are kept.
    bool OnDatagram(std::string_view datagram, Clock::time_point now, std::size_t maxListed);
    // Gives up a channel still probing (the query has nothing else left to wait for).
    void GiveUp();
    // Ends reading at once with what was read (the exchange's bound).
    void Finish();

    // The servers listed, in the order first listed, each once.
    const std::vector<CSockAddr>& Servers() const { return m_servers; }

private:
    std::size_t m_master;
    int m_protocol;
    EState m_state = EState::Probing;
    int m_tries = kProbes;
    std::uint32_t m_waitMs;
    std::uint32_t m_waitStepMs;
    bool m_sawEndMarker = false;
    Clock::time_point m_due{};
    std::vector<CSockAddr> m_servers;
    std::set<CSockAddr> m_seen;
};
