#include "platform/ScrollBar.h"

#include <algorithm>

namespace Platform {

bool CScrollBar::Create(CWnd& parent, const Rect& rect, bool horizontal, unsigned style,
                        unsigned id) {
    if (!parent.IsWindow())
        return false;
    m_horizontal = horizontal;
    return Attach(parent.GetPlatform(), &parent, rect, style | WS_CHILD, id, {},
                  horizontal ? WindowKind::HorzScrollBar : WindowKind::VertScrollBar);
}

void CScrollBar::SetScrollInfo(const ScrollInfo& info) {
    m_info.min = info.min;
    m_info.max = std::max(info.min, info.max);
    m_info.page = std::clamp(info.page, 0, m_info.max - m_info.min + 1);
    m_info.pos = info.pos;
    Clamp();
}

void CScrollBar::SetScrollPos(int pos) {
    m_info.pos = pos;
    Clamp();
}

void CScrollBar::Clamp() {
    int last = m_info.max - std::max(m_info.page - 1, 0);
    m_info.pos = std::clamp(m_info.pos, m_info.min, std::max(m_info.min, last));
    m_info.trackPos = m_info.pos;
    if (m_peer)
        m_peer->SetScrollInfo(m_info);
}

void CScrollBar::ReportScroll(unsigned code, int trackPos) {
    m_info.trackPos = trackPos;
    CWnd* parent = GetParent();
    if (!parent)
        return;
    int pos = (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) ? trackPos : m_info.pos;
    if (m_horizontal)
        parent->OnHScroll(code, pos, this);
    else
        parent->OnVScroll(code, pos, this);
}

} // namespace Platform
