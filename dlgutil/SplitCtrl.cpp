#include "dlgutil/SplitCtrl.h"

namespace Dorlu_DlgUtil {

using namespace Platform;

namespace {
// Style bits the bar does not take over from its placeholder: the border and the
// control-specific bits, except the low five that say how the bar aligns.
constexpr unsigned DroppedStyle = WS_BORDER | 0xFFE0;
constexpr unsigned AlignMask = 0x1F;
constexpr unsigned AlignFar = 2;

// Below the minimum gives the minimum, then above the maximum the maximum: a range given the
// wrong way round still yields a position instead of undefined behaviour.
int Limit(int value, int minimum, int maximum) {
    if (value < minimum)
        value = minimum;
    if (value > maximum)
        value = maximum;
    return value;
}
} // namespace

bool CSplitCtrl::ReplaceDlgItem(unsigned id, CWnd& parent) {
    CWnd* placeholder = parent.GetDlgItem(id);
    // A bar that exists already could not be created again, and the placeholder would be lost.
    if (!placeholder || placeholder == this || IsWindow())
        return false;
    Rect rect = parent.ScreenToClientRect(placeholder->GetWindowRect());
    rect.Inflate(-1, -1);
    const unsigned style = (placeholder->GetStyle() & ~DroppedStyle) | WS_CHILD;
    // The sibling created just before the placeholder keeps the bar's z-order place.
    CWnd* before = nullptr;
    for (CWnd* child : parent.GetChildren()) {
        if (child == placeholder)
            break;
        before = child;
    }
    placeholder->DestroyWindow();
    if (!Create(parent, rect, style, id, WindowText))
        return false;
    PlaceAfter(before);
    return true;
}

void CSplitCtrl::Attach(CDialogLayout& layout, int minPercent, int maxPercent,
                        LayoutCallback callback) {
    m_layout = &layout;
    m_minimum = minPercent;
    m_maximum = maxPercent;
    m_callback = std::move(callback);
    m_dragging = false;
    Rect r = RectInReference();
    m_vertical = r.Width() < r.Height();
    int& nearEdge = m_vertical ? r.left : r.top;
    int& farEdge = m_vertical ? r.right : r.bottom;
    switch (GetStyle() & AlignMask) {
    case 0:
        farEdge = nearEdge + Thickness;
        break;
    case AlignFar:
        nearEdge = farEdge - Thickness;
        break;
    default:
        nearEdge = nearEdge + (farEdge - nearEdge - 7) / 2;
        farEdge = nearEdge + Thickness;
        break;
    }
    MoveWindow(r, true);
    m_layout->Refresh(this);
}

int CSplitCtrl::GetPos() const {
    const int extent = Extent();
    if (extent <= 0)
        return 0;
    const Rect r = RectInReference();
    return (m_vertical ? r.left : r.top) * 100 / extent;
}

int CSplitCtrl::SetPos(int percent) {
    if (!m_layout)
        return GetPos();
    percent = Limit(percent, static_cast<int>(m_minimum), static_cast<int>(m_maximum));
    const LayoutOverrides overrides{
        {this, MovedTo(RectInReference(), percent * Extent() / 100 + 1)}};
    m_layout->Apply(m_callback, &overrides);
    return GetPos();
}

void CSplitCtrl::OnPaint(IDrawContext& dc, const Rect&) {
    const Rect r = GetClientRect();
    dc.FillSolidRect(r, GetPlatform().GetSysColor(COLOR_BTNFACE));
    const ColorRef light = GetPlatform().GetSysColor(COLOR_BTNHIGHLIGHT);
    const ColorRef shadow = GetPlatform().GetSysColor(COLOR_BTNSHADOW);
    dc.FillSolidRect({r.left, r.top, r.right - 1, r.top + 1}, light);
    dc.FillSolidRect({r.left, r.top, r.left + 1, r.bottom - 1}, light);
    dc.FillSolidRect({r.left, r.bottom - 1, r.right, r.bottom}, shadow);
    dc.FillSolidRect({r.right - 1, r.top, r.right, r.bottom}, shadow);
}

void CSplitCtrl::OnLButtonDown(unsigned, Point p) {
    if (!m_layout || !m_layout->GetReference())
        return;
    m_layout->Refresh(nullptr);
    m_lastPos = -1;
    m_dragging = true;
    SetCapture();
    SetCursor(m_vertical ? IDC_SIZEWE : IDC_SIZENS);
    m_grabOffset = m_vertical ? p.x : p.y;
    SendCommand(SPLIT_DRAG_START);
}

void CSplitCtrl::OnMouseMove(unsigned, Point p) {
    SetCursor(m_vertical ? IDC_SIZEWE : IDC_SIZENS);
    if (!m_dragging)
        return;
    const Point inRef = m_layout->GetReference()->ScreenToClient(ClientToScreen(p));
    const int extent = Extent();
    const int low = static_cast<int>(extent * m_minimum / 100);
    const int high = static_cast<int>(extent * m_maximum / 100);
    const int pos = Limit((m_vertical ? inRef.x : inRef.y) - m_grabOffset, low, high);
    if (pos == m_lastPos)
        return;
    m_lastPos = pos;
    const LayoutOverrides overrides{{this, MovedTo(RectInReference(), pos)}};
    // A refused step moved nothing, so there is nothing to repaint or announce.
    if (!m_layout->Apply(m_callback, &overrides))
        return;
    m_layout->GetReference()->RedrawWindow(nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN |
                                                        RDW_UPDATENOW);
    SendCommand(SPLIT_DRAG_STEP);
}

void CSplitCtrl::OnLButtonUp(unsigned, Point) {
    if (!m_dragging)
        return;
    // Not dragging before the release, so the capture change does not end the drag twice; the
    // parent hears of the end with the mouse already free.
    m_dragging = false;
    ReleaseCapture();
    SendCommand(SPLIT_DRAG_END);
}

// Losing the capture any other way (another window took it) must not leave the bar dragging
// without a button held.
void CSplitCtrl::OnCaptureChanged(CWnd*) {
    if (m_dragging)
        EndDrag();
}

void CSplitCtrl::EndDrag() {
    m_dragging = false;
    SendCommand(SPLIT_DRAG_END);
}

int CSplitCtrl::Extent() const {
    if (!m_layout || !m_layout->GetReference())
        return 0;
    const Rect client = m_layout->GetReference()->GetClientRect();
    return m_vertical ? client.Width() : client.Height();
}

Rect CSplitCtrl::RectInReference() const {
    // A layout not yet given its dialog places nothing; the parent stands in until it is.
    const CWnd* reference = m_layout ? m_layout->GetReference() : nullptr;
    if (!reference)
        reference = GetParent();
    if (!reference)
        return GetWindowRect();
    return reference->ScreenToClientRect(GetWindowRect());
}

Rect CSplitCtrl::MovedTo(Rect r, int pos) const {
    if (m_vertical)
        r.Offset(pos - r.left, 0);
    else
        r.Offset(0, pos - r.top);
    return r;
}

} // namespace Dorlu_DlgUtil
