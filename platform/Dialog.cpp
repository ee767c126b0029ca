#include "platform/Dialog.h"

#include "platform/DialogUnits.h"

#include <algorithm>

namespace Platform {

namespace {

WindowKind KindOf(DialogItem::Kind kind) {
    switch (kind) {
    case DialogItem::Kind::PushButton:
        return WindowKind::PushButton;
    case DialogItem::Kind::DefPushButton:
        return WindowKind::DefPushButton;
    case DialogItem::Kind::CheckBox:
        return WindowKind::CheckBox;
    case DialogItem::Kind::RadioButton:
        return WindowKind::RadioButton;
    case DialogItem::Kind::GroupBox:
        return WindowKind::GroupBox;
    case DialogItem::Kind::Edit:
        return WindowKind::Edit;
    case DialogItem::Kind::Static:
        return WindowKind::Static;
    case DialogItem::Kind::ComboBox:
        return WindowKind::ComboBox;
    case DialogItem::Kind::Progress:
        return WindowKind::Progress;
    case DialogItem::Kind::Tab:
        return WindowKind::Tab;
    case DialogItem::Kind::Placeholder:
        break;
    }
    return WindowKind::Plain;
}

} // namespace

int CDialog::DoModal(IPlatform& platform, CWnd* owner) {
    if (IsWindow())
        return -1;
    auto dc = platform.CreateMeasureContext();
    m_base = GetDialogBaseUnits(*dc, m_template.font);
    Size size{MulDiv(m_template.units.cx, m_base.cx, 4), MulDiv(m_template.units.cy, m_base.cy, 8)};
    Rect area = owner && owner->IsWindow() ? owner->GetWindowRect()
                                           : Rect{0, 0, platform.GetSystemMetrics(SM_CXSCREEN),
                                                  platform.GetSystemMetrics(SM_CYSCREEN)};
    Point origin{area.left + (area.Width() - size.cx) / 2,
                 area.top + (area.Height() - size.cy) / 2};
    if (!CreateTopLevel(platform, {origin.x, origin.y, origin.x + size.cx, origin.y + size.cy}, 0,
                        m_template.caption))
        return -1;

    for (const DialogItem& item : m_template.items) {
        Rect rect = MapDialogRect(item.units);
        if (item.kind == DialogItem::Kind::Placeholder) {
            auto wnd = std::make_unique<CWnd>();
            wnd->Create(*this, rect, item.style, item.id, item.text);
            m_controls.push_back(std::move(wnd));
        } else {
            auto control = std::make_unique<CControl>();
            control->Create(*this, KindOf(item.kind), rect, item.style, item.id, item.text);
            m_controls.push_back(std::move(control));
        }
    }
    if (OnInitDialog()) {
        for (CWnd* child : GetChildren()) {
            // The dialog itself shows only when its loop runs, so the style says who is shown.
            const unsigned shownStop = WS_TABSTOP | WS_VISIBLE;
            if ((child->GetStyle() & shownStop) == shownStop && child->IsWindowEnabled()) {
                child->SetFocus();
                break;
            }
        }
    }
    int result = IDCANCEL;
    if (IsWindow())
        result = platform.RunModalLoop(*this);
    DestroyWindow();
    m_controls.clear();
    return result;
}

void CDialog::EndDialog(int result) {
    if (IsWindow())
        GetPlatform().EndModalLoop(*this, result);
}

Rect CDialog::MapDialogRect(const Rect& units) const {
    return Platform::MapDialogRect(units, m_base);
}

void CDialog::SetDlgItemText(unsigned id, const std::string& text) {
    if (CWnd* item = GetDlgItem(id))
        item->SetWindowText(text);
}

std::string CDialog::GetDlgItemText(unsigned id) const {
    CWnd* item = GetDlgItem(id);
    return item ? item->GetWindowText() : std::string();
}

void CDialog::CheckDlgButton(unsigned id, int state) {
    if (auto* button = dynamic_cast<CControl*>(GetDlgItem(id)))
        button->SetCheck(state);
}

int CDialog::IsDlgButtonChecked(unsigned id) const {
    auto* button = dynamic_cast<CControl*>(GetDlgItem(id));
    return button ? button->GetCheck() : BST_UNCHECKED;
}

void CDialog::CheckRadioButton(unsigned first, unsigned last, unsigned id) {
    const auto& children = GetChildren();
    auto begin = std::find(children.begin(), children.end(), GetDlgItem(first));
    auto end = std::find(children.begin(), children.end(), GetDlgItem(last));
    if (begin == children.end() || end == children.end() || end < begin)
        return;
    for (auto it = begin; it != end + 1; ++it) {
        auto* radio = dynamic_cast<CControl*>(*it);
        if (radio && radio->GetKind() == WindowKind::RadioButton)
            radio->SetCheck(radio->GetDlgCtrlID() == id ? BST_CHECKED : BST_UNCHECKED);
    }
}

void CDialog::OnCommand(unsigned id, unsigned code, CWnd*) {
    if (code != BN_CLICKED)
        return;
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

void CDialog::OnKeyDown(unsigned vk, unsigned, unsigned) {
    if (vk == VK_ESCAPE) {
        OnCommand(IDCANCEL, BN_CLICKED, nullptr);
    } else if (vk == VK_RETURN) {
        unsigned id = IDOK;
        for (CWnd* child : GetChildren()) {
            auto* button = dynamic_cast<CControl*>(child);
            if (button && button->GetKind() == WindowKind::DefPushButton &&
                button->IsWindowEnabled()) {
                id = button->GetDlgCtrlID();
                break;
            }
        }
        OnCommand(id, BN_CLICKED, GetDlgItem(id));
    }
}

} // namespace Platform
