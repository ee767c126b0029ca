#include "app/core/QueryProgress.h"

#include <algorithm>

void CQueryProgress::Start(int servers, bool listing) {
    m_toQuery = servers;
    m_shown = servers;
    m_position = 0;
    m_total = servers;
    m_range = std::clamp(servers, 1, 0xFFFF);
    m_listing = listing;
    m_askingMasters = false;
}

void CQueryProgress::Grow(int servers) {
    m_toQuery += servers;
    m_shown = m_toQuery;
    m_total += servers;
    m_range = std::clamp(m_total, 1, 0xFFFF);
}

bool CQueryProgress::OnServerDone() {
    --m_toQuery;
    bool changed = m_toQuery % 2 == 0;
    if (changed) {
        m_shown = m_toQuery;
        m_position = std::min(m_position + 2, m_range);
    }
    if (IsComplete())
        m_position = 0;
    return changed;
}

void CQueryProgress::CloseListing() {
    m_listing = false;
    if (IsComplete()) {
        m_shown = 0;
        m_position = 0;
    }
}
