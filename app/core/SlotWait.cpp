#include "app/core/SlotWait.h"

#include "query/ServerRecord.h"

bool CSlotWait::IsFull(const CServerRecord& record) {
    return record.m_maxClients > 0 &&
           static_cast<std::int64_t>(record.m_players.size()) >= record.m_maxClients;
}

void CSlotWait::Start(const CSockAddr& server, const std::string& name, std::uint32_t nowMs) {
    m_waiting = true;
    m_server = server;
    m_name = name;
    // The first ask comes at the first tick; the minute counts from the start.
    m_askedAt = nowMs - kAskEveryMs;
    m_answeredAt = nowMs;
}

std::string CSlotWait::StatusText() const {
    return "Waiting for a free slot on " + m_name + " \x85 (Esc to stop)";
}

bool CSlotWait::IsAskDue(std::uint32_t nowMs) const {
    return m_waiting && nowMs - m_askedAt >= kAskEveryMs;
}

CSlotWait::EOutcome CSlotWait::OnStatus(const CServerRecord& fresh, bool answered,
                                        std::uint32_t nowMs) {
    if (!m_waiting)
        return EOutcome::Keep;
    if (!answered)
        return OnTick(nowMs);
    m_answeredAt = nowMs;
    m_name = fresh.m_name;
    if (IsFull(fresh) || fresh.m_maxClients <= 0)
        return EOutcome::Keep;
    m_waiting = false;
    return EOutcome::Join;
}

CSlotWait::EOutcome CSlotWait::OnTick(std::uint32_t nowMs) {
    if (!m_waiting || nowMs - m_answeredAt < kGiveUpMs)
        return EOutcome::Keep;
    m_waiting = false;
    return EOutcome::GiveUp;
}
