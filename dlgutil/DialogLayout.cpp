#include "dlgutil/DialogLayout.h"

namespace Dorlu_DlgUtil {

using Platform::CWnd;
using Platform::Rect;
using Platform::Size;

void CDialogLayout::Init(CWnd& reference, int expectedCount, int templateItem) {
    m_items.clear();
    m_windows.clear();
    m_reference = &reference;
    if (expectedCount > 0) {
        m_items.reserve(static_cast<size_t>(expectedCount));
        m_windows.reserve(static_cast<size_t>(expectedCount));
    }
    const Rect outer = reference.GetWindowRect();
    const Rect client = reference.GetClientRect();
    CWnd* item = templateItem < 0 ? nullptr : reference.GetDlgItem(unsigned(templateItem));
    if (!item) {
        m_minimumSize = {outer.Width(), outer.Height()};
        m_referenceSize = {client.Width(), client.Height()};
        return;
    }
    const Rect r = RectInReference(*item);
    m_referenceSize = {r.right, r.bottom};
    m_minimumSize = {r.right + outer.Width() - client.Width(),
                     r.bottom + outer.Height() - client.Height()};
    item->DestroyWindow();
}

int CDialogLayout::AddWindow(CWnd* wnd, unsigned flags, int leftRef, int rightRef, int topRef,
                             int bottomRef) {
    if (!wnd || !m_reference)
        return -1;
    int index = IndexOf(wnd);
    if (index < 0) {
        index = static_cast<int>(m_items.size());
        CLayoutItem item;
        item.rect = RectInReference(*wnd);
        m_items.push_back(item);
        m_windows.push_back(wnd);
    }
    CLayoutItem& item = m_items[static_cast<size_t>(index)];
    for (int edge = 0; edge < 4; ++edge) {
        if (flags & (0x10000u << edge)) {
            item.flags &= static_cast<std::uint16_t>(~(0xFu << (4 * edge)));
            item.refs[edge] = -1;
        }
    }
    item.flags |= static_cast<std::uint16_t>(flags & 0xFFFF);
    const int refs[4] = {leftRef, rightRef, topRef, bottomRef};
    for (int edge = 0; edge < 4; ++edge) {
        if (refs[edge] >= 0)
            item.refs[edge] = refs[edge];
    }
    return index;
}

int CDialogLayout::AddItem(unsigned id, unsigned flags, int leftRef, int rightRef, int topRef,
                           int bottomRef) {
    if (!m_reference)
        return -1;
    return AddWindow(m_reference->GetDlgItem(id), flags, leftRef, rightRef, topRef, bottomRef);
}

int CDialogLayout::AddItemsInRect(unsigned id, unsigned flags, int leftRef, int rightRef,
                                  int topRef, int bottomRef, int margin) {
    CWnd* item = m_reference ? m_reference->GetDlgItem(id) : nullptr;
    if (!item)
        return 0;
    Rect area = RectInReference(*item);
    area.Inflate(margin, margin);
    int count = 0;
    // A copy: registering never changes the children, but a caller's handler might.
    const std::vector<CWnd*> children = m_reference->GetChildren();
    for (CWnd* child : children) {
        const Rect r = RectInReference(*child);
        if (r.left >= area.left && r.top >= area.top && r.right <= area.right &&
            r.bottom <= area.bottom) {
            AddWindow(child, flags, leftRef, rightRef, topRef, bottomRef);
            ++count;
        }
    }
    return count;
}

bool CDialogLayout::Apply(const LayoutCallback& callback, const LayoutOverrides* overrides) {
    if (!m_reference)
        return false;
    if (overrides)
        Refresh(nullptr);
    const Rect client = m_reference->GetClientRect();
    const Size size{client.Width(), client.Height()};
    std::vector<const Rect*> given;
    if (overrides) {
        given.resize(m_items.size());
        for (size_t i = 0; i < m_items.size(); ++i) {
            for (const auto& [wnd, rect] : *overrides) {
                if (wnd == m_windows[i])
                    given[i] = &rect;
            }
        }
    }
    const std::vector<Rect> rects = PlaceItems(m_items, m_referenceSize, size, given);
    // Only a drag step is checked: a dialog made too small still places what it can.
    bool valid = !overrides || IsPlacementInside(rects, size);
    if (callback) {
        CWnd* first = overrides && !overrides->empty() ? overrides->front().first : nullptr;
        valid = callback(first, CPlacement{*this, size, rects, valid});
    }
    if (!valid)
        return false;
    for (size_t i = 0; i < rects.size(); ++i) {
        m_windows[i]->MoveWindow(rects[i], true);
        if (overrides)
            m_items[i].rect = rects[i];
    }
    return true;
}

void CDialogLayout::Refresh(CWnd* wnd) {
    if (!m_reference)
        return;
    if (wnd) {
        const int index = IndexOf(wnd);
        if (index >= 0)
            m_items[static_cast<size_t>(index)].rect = RectInReference(*wnd);
        return;
    }
    for (size_t i = 0; i < m_items.size(); ++i)
        m_items[i].rect = RectInReference(*m_windows[i]);
    const Rect client = m_reference->GetClientRect();
    m_referenceSize = {client.Width(), client.Height()};
}

Rect CDialogLayout::RectInReference(const CWnd& wnd) const {
    return m_reference->ScreenToClientRect(wnd.GetWindowRect());
}

int CDialogLayout::IndexOf(const CWnd* wnd) const {
    for (size_t i = 0; i < m_windows.size(); ++i) {
        if (m_windows[i] == wnd)
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace Dorlu_DlgUtil
