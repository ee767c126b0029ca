#include "table/TextIn.h"

#include "table/Cells.h"
#include "table/EditController.h"
#include "table/TableCtrl.h"

namespace Tavex {

using namespace Platform;

void CTextIn::GetValue(CCellData& value) {
    std::string text = GetWindowText();
    if (m_limit > 0 && text.size() > static_cast<std::size_t>(m_limit))
        text.resize(static_cast<std::size_t>(m_limit));
    value.SetText(text.c_str());
}

void CTextIn::SetValue(const CCellData& value) {
    SetWindowText(value.GetString());
    // Typing replaces the old value, as a freshly opened field should.
    SetSel(0, -1);
}

void CTextIn::OpenEditor(const CCellData& value, const Rect& rect, bool) {
    Create(*m_editorParent, WindowKind::Edit, rect,
           WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, {});
    LimitText(m_limit);
    SetValue(value);
}

void CTextIn::OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) {
    if (m_controller && m_controller->HandleEditKey(vk))
        return;
    CControl::OnKeyDown(vk, repeat, flags);
}

// Focus moves between the control and its editor count as internal for the control.
void CTextIn::OnSetFocus(CWnd* oldWnd) {
    if (m_controller)
        m_controller->GetControl().OnSetFocus(oldWnd);
}

void CTextIn::OnKillFocus(CWnd* newWnd) {
    if (m_controller)
        m_controller->GetControl().OnKillFocus(newWnd);
}

} // namespace Tavex
