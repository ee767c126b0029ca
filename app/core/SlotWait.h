// "Join when a slot is free": one full server asked again every few seconds until a status
// shows a free slot (then it is joined once), it stops answering for a minute, or the user
// stops the wait. Times are the window's tick counts in milliseconds.
#pragma once

#include "net/SockAddr.h"

#include <cstdint>
#include <string>

class CServerRecord;

class CSlotWait {
public:
    static constexpr std::uint32_t kAskEveryMs = 5000;
    static constexpr std::uint32_t kGiveUpMs = 60000;

    enum class EOutcome {
        Keep,   // go on waiting
        Join,   // a slot is free: join now; the wait is over
        GiveUp, // no answer for a minute; the wait is over
    };

    // A server can be waited for when it is full: as many players (humans and bots, since both
    // take slots) as its maximum.
    static bool IsFull(const CServerRecord& record);

    void Start(const CSockAddr& server, const std::string& name, std::uint32_t nowMs);
    void Stop() { m_waiting = false; }
    bool IsWaiting() const { return m_waiting; }
    const CSockAddr& Server() const { return m_server; }
    // "Waiting for a free slot on <name> … (Esc to stop)"
    std::string StatusText() const;

    // True when the server is to be asked again now; the caller asks, then says so.
    bool IsAskDue(std::uint32_t nowMs) const;
    void OnAsked(std::uint32_t nowMs) { m_askedAt = nowMs; }
    // The server's fresh status; `answered` false for a time-out.
    EOutcome OnStatus(const CServerRecord& fresh, bool answered, std::uint32_t nowMs);
    // Whether a minute without an answer has passed.
    EOutcome OnTick(std::uint32_t nowMs);

private:
    bool m_waiting = false;
    CSockAddr m_server;
    std::string m_name;
    std::uint32_t m_askedAt = 0;
    std::uint32_t m_answeredAt = 0;
};
