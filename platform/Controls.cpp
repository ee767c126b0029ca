#include "platform/Controls.h"

namespace Platform {

bool CControl::Create(CWnd& parent, WindowKind kind, const Rect& rect, unsigned style, unsigned id,
                      const std::string& text) {
    if (!parent.IsWindow() || kind < WindowKind::PushButton)
        return false;
    m_kind = kind;
    return Attach(parent.GetPlatform(), &parent, rect, style | WS_CHILD, id, text, kind);
}

void CControl::SetCheck(int state) {
    if (m_peer && m_kind == WindowKind::CheckBox)
        m_peer->SetCheck(state);
}

int CControl::GetCheck() const {
    return m_peer && m_kind == WindowKind::CheckBox ? m_peer->GetCheck() : BST_UNCHECKED;
}

} // namespace Platform
