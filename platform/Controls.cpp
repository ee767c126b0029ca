#include "platform/Controls.h"

#include "platform/Text.h"

#include <algorithm>

namespace Platform {

bool CControl::Create(CWnd& parent, WindowKind kind, const Rect& rect, unsigned style, unsigned id,
                      const std::string& text) {
    if (!parent.IsWindow() || kind < WindowKind::PushButton)
        return false;
    m_kind = kind;
    if (kind == WindowKind::RadioButton) {
        // A radio button after any other control starts a group; saying so in the style lets
        // the window system form the same groups from the style alone.
        const auto& siblings = parent.GetChildren();
        auto* previous = siblings.empty() ? nullptr : dynamic_cast<CControl*>(siblings.back());
        if (!previous || previous->m_kind != WindowKind::RadioButton)
            style |= WS_GROUP;
    }
    if (!Attach(parent.GetPlatform(), &parent, rect, style | WS_CHILD, id, text, kind))
        return false;
    if (kind == WindowKind::Progress)
        m_peer->SetRange(m_min, m_max);
    if (!m_items.empty())
        PushItems();
    return true;
}

namespace {

bool IsButtonWithCheck(WindowKind kind) {
    return kind == WindowKind::CheckBox || kind == WindowKind::RadioButton;
}

} // namespace

void CControl::SetCheck(int state) {
    if (m_peer && IsButtonWithCheck(m_kind))
        m_peer->SetValue(state);
}

int CControl::GetCheck() const {
    return m_peer && IsButtonWithCheck(m_kind) ? m_peer->GetValue() : BST_UNCHECKED;
}

std::vector<CControl*> CControl::GetRadioGroup() const {
    std::vector<CControl*> group;
    if (!m_peer || m_kind != WindowKind::RadioButton || !GetParent())
        return group;
    // The run of radio buttons around this one, cut where a button starts a new group.
    for (CWnd* sibling : GetParent()->GetChildren()) {
        auto* radio = dynamic_cast<CControl*>(sibling);
        if (!radio || radio->m_kind != WindowKind::RadioButton || (radio->GetStyle() & WS_GROUP)) {
            if (std::find(group.begin(), group.end(), this) != group.end())
                break;
            group.clear();
        }
        if (radio && radio->m_kind == WindowKind::RadioButton)
            group.push_back(radio);
    }
    if (std::find(group.begin(), group.end(), this) == group.end())
        group.clear();
    return group;
}

void CControl::CheckInGroup() {
    for (CControl* radio : GetRadioGroup())
        if (radio != this)
            radio->SetCheck(BST_UNCHECKED);
    SetCheck(BST_CHECKED);
}

void CControl::PushItems() {
    if (m_peer && (m_kind == WindowKind::ComboBox || m_kind == WindowKind::Tab))
        m_peer->SetItems(m_items);
}

int CControl::AddString(const std::string& text) {
    auto at = m_items.end();
    if (GetStyle() & CBS_SORT)
        at = std::upper_bound(
            m_items.begin(), m_items.end(), text,
            [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; });
    int index = static_cast<int>(at - m_items.begin());
    return InsertItem(index, text);
}

int CControl::InsertItem(int index, const std::string& text) {
    if (index < 0 || index > GetCount())
        index = GetCount();
    int selected = GetCurSel();
    m_items.insert(m_items.begin() + index, text);
    m_data.insert(m_data.begin() + index, 0);
    PushItems();
    // The selection stays on its item.
    if (selected >= index)
        ++selected;
    if (m_peer)
        m_peer->SetValue(selected);
    return index;
}

void CControl::ResetContent() {
    m_items.clear();
    m_data.clear();
    PushItems();
    if (m_peer)
        m_peer->SetValue(-1);
}

int CControl::DeleteString(int index) {
    if (index < 0 || index >= GetCount())
        return CB_ERR;
    int selected = GetCurSel();
    m_items.erase(m_items.begin() + index);
    m_data.erase(m_data.begin() + index);
    PushItems();
    // The selection stays on its item; the removed item takes it away.
    if (selected == index)
        selected = -1;
    else if (selected > index)
        --selected;
    if (m_peer)
        m_peer->SetValue(selected);
    return GetCount();
}

int CControl::SetItemData(int index, std::intptr_t data) {
    if (index < 0 || index >= GetCount())
        return CB_ERR;
    m_data[index] = data;
    return 0;
}

std::intptr_t CControl::GetItemData(int index) const {
    return index >= 0 && index < GetCount() ? m_data[index] : CB_ERR;
}

std::string CControl::GetLBText(int index) const {
    return index >= 0 && index < GetCount() ? m_items[index] : std::string();
}

int CControl::SetCurSel(int index) {
    if (!m_peer || index < -1 || index >= GetCount())
        return CB_ERR;
    m_peer->SetValue(index);
    return index;
}

int CControl::GetCurSel() const {
    if (!m_peer || (m_kind != WindowKind::ComboBox && m_kind != WindowKind::Tab))
        return CB_ERR;
    return m_peer->GetValue();
}

int CControl::FindString(int start, const std::string& text) const {
    const int count = GetCount();
    for (int step = 1; step <= count; ++step) {
        int index = ((start < -1 ? -1 : start) + step) % count;
        if (HasPrefixNoCase(m_items[index], text))
            return index;
    }
    return CB_ERR;
}

void CControl::OnKeyDown(unsigned, unsigned, unsigned) {
    m_keyToControl = true;
}

bool CControl::FilterKeyDown(unsigned vk, unsigned repeat, unsigned flags) {
    m_keyToControl = false;
    OnKeyDown(vk, repeat, flags);
    return m_keyToControl;
}

void CControl::SetSel(int start, int end) {
    if (m_peer && m_kind == WindowKind::Edit)
        m_peer->SetSelection(start, end);
}

void CControl::LimitText(int limit) {
    if (m_peer && m_kind == WindowKind::Edit)
        m_peer->SetTextLimit(std::max(limit, 0));
}

void CControl::SetRange(int min, int max) {
    m_min = min;
    m_max = std::max(min, max);
    if (m_peer && m_kind == WindowKind::Progress)
        m_peer->SetRange(m_min, m_max);
    SetPos(m_pos);
}

int CControl::SetPos(int pos) {
    int old = m_pos;
    m_pos = std::clamp(pos, m_min, m_max);
    if (m_peer && m_kind == WindowKind::Progress)
        m_peer->SetValue(m_pos);
    return old;
}

int CControl::DeltaPos(int delta) {
    return SetPos(m_pos + delta);
}

} // namespace Platform
