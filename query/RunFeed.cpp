#include "query/RunFeed.h"

void CRunFeed::Reset(std::vector<CServerRecord*> records, bool closed) {
    std::lock_guard lock(m_mutex);
    m_pending = std::move(records);
    m_closed = closed;
}

void CRunFeed::Add(const std::vector<CServerRecord*>& records) {
    std::lock_guard lock(m_mutex);
    m_pending.insert(m_pending.end(), records.begin(), records.end());
}

void CRunFeed::Close() {
    std::lock_guard lock(m_mutex);
    m_closed = true;
}

bool CRunFeed::Take(std::vector<CServerRecord*>& into) {
    std::lock_guard lock(m_mutex);
    into.insert(into.end(), m_pending.begin(), m_pending.end());
    m_pending.clear();
    return m_closed;
}
