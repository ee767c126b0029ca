#include "app/core/QueryProgress.h"

#include <algorithm>

void CQueryProgress::Start(int servers) {
    m_toQuery = servers;
    m_shown = servers;
    m_position = 0;
    m_range = std::clamp(servers, 1, 0xFFFF);
    m_askingMasters = false;
}

bool CQueryProgress::OnServerDone() {
    --m_toQuery;
    bool changed = m_toQuery % 2 == 0;
    if (changed) {
        m_shown = m_toQuery;
        m_position = std::min(m_position + 2, m_range);
    }
    if (m_toQuery == 0)
        m_position = 0;
    return changed;
}
