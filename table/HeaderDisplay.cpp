#include "table/HeaderDisplay.h"

#include "platform/Contrast.h"

#include "table/TableCtrl.h"
#include "uictrl/PopupMenu.h"

#include <cstdlib>

namespace Tavex {

using namespace Platform;

namespace {
// The arrows are glyphs of a symbol font: a down arrow for ascending, an up arrow for
// descending.
const Font kArrowFont{"Wingdings", 81};
constexpr char kArrowAscending = '\xEA';
constexpr char kArrowDescending = '\xE9';
constexpr ColorRef kArrowColour = RGB(0, 0, 128);
} // namespace

int CHeaderDisplay::HitTestBorder(int clientX) const {
    const int x = clientX + m_control.GetHorzPos();
    const int count = static_cast<int>(m_control.GetDisplayOrder().size());
    const int p = m_control.PositionAtX(x);
    if (p >= 0 && p < count) {
        const int left = m_control.GetLeftEdge(p);
        if (p > 0 && x <= left + m_control.GetLeftMargin())
            return m_control.PrevVisibleColumn(p);
        if (x >=
            left + m_control.Col(m_control.GetColumnAt(p)).m_width - m_control.GetRightMargin())
            return p;
        return -1;
    }
    const int last = m_control.PrevVisibleColumn(count);
    if (last >= 0 && x <= m_control.GetLeftEdge(last) +
                              m_control.Col(m_control.GetColumnAt(last)).m_width +
                              m_control.GetRightMargin())
        return last;
    return -1;
}

// ---- painting -----------------------------------------------------------------------------

void CHeaderDisplay::Paint(IDrawContext& dc, const Rect& clip) {
    const int saved = dc.SaveDC();
    IPlatform& platform = GetPlatform();
    dc.SelectFont(m_control.GetLook().m_font);
    dc.SetTextColor(platform.GetSysColor(COLOR_BTNTEXT));
    dc.SetBkColor(platform.GetSysColor(COLOR_BTNFACE));
    dc.SetBkMode(TRANSPARENT);
    const unsigned style = m_control.IsSortable() ? 0 : DFCS_FLAT;
    const int count = static_cast<int>(m_control.GetDisplayOrder().size());
    const int hPos = m_control.GetHorzPos();
    int right = -hPos;
    for (int p = m_control.PositionAtX(clip.left + hPos); p >= 0 && p < count;
         p = m_control.NextVisibleColumn(p)) {
        const int left = m_control.GetLeftEdge(p) - hPos;
        if (left >= clip.right)
            break;
        const int column = m_control.GetColumnAt(p);
        right = left + m_control.Col(column).m_width;
        unsigned state = style;
        // The pressed title shows pushed while pressed, not only while it is dragged.
        if ((m_mode == Pressed || m_mode == Moving) && p == m_position)
            state |= m_buttonState;
        DrawButton(dc, column, {left, 0, right, m_control.GetHeaderHeight()}, state);
    }
    const int last = m_control.PrevVisibleColumn(count);
    if (last >= 0)
        right = std::max(right, m_control.GetLeftEdge(last) +
                                    m_control.Col(m_control.GetColumnAt(last)).m_width - hPos);
    else
        right = std::max(right, 0);
    if (right < clip.right)
        dc.DrawFrameControl({right, 0, clip.right + 4, m_control.GetHeaderHeight()}, DFC_BUTTON,
                            DFCS_BUTTONPUSH | style);
    dc.RestoreDC(saved);
    if (m_mode == Moving && m_dragImage)
        DrawDragImage(dc);
}

void CHeaderDisplay::DrawButton(IDrawContext& dc, int column, const Rect& rect, unsigned state) {
    dc.DrawFrameControl(rect, DFC_BUTTON, DFCS_BUTTONPUSH | state);
    Rect text{rect.left + m_control.GetLeftMargin(), rect.top + 1,
              rect.right - m_control.GetRightMargin(), rect.bottom - 1};
    if (state & DFCS_PUSHED)
        text.Offset(1, 1);
    const CColDisplay& col = m_control.Col(column);
    const int direction = m_sortKeys.GetSortState(column);
    if (direction != CSortKeys::kNotSorted) {
        const unsigned format = static_cast<unsigned>(col.m_headerFormat);
        const Rect arrows = text;
        if (format & DT_CENTER) {
            DrawArrow(dc, arrows.left - 2, arrows.top, direction);
            DrawArrow(dc, arrows.right - 5, arrows.top, direction);
            text.left += kArrowStep;
            text.right -= kArrowStep;
        } else if (format & DT_RIGHT) {
            DrawArrow(dc, arrows.left - 2, arrows.top, direction);
            text.left += kArrowStep;
        } else {
            DrawArrow(dc, arrows.right - 5, arrows.top, direction);
            text.right -= kArrowStep;
        }
    }
    dc.DrawText(col.m_title, text, static_cast<unsigned>(col.m_headerFormat));
}

void CHeaderDisplay::DrawArrow(IDrawContext& dc, int x, int y, int direction) {
    const Font previous = dc.SelectFont(kArrowFont);
    // The navy arrow would vanish on a dark theme's buttons.
    const ColorRef colour =
        dc.SetTextColor(ReadableOn(kArrowColour, GetPlatform().GetSysColor(COLOR_BTNFACE)));
    const char glyph = direction == CSortKeys::kAscending ? kArrowAscending : kArrowDescending;
    dc.TextOut(x, y, std::string(1, glyph));
    dc.SetTextColor(colour);
    dc.SelectFont(previous);
}

// The moved title follows the pointer: a grey button with the title in black.
void CHeaderDisplay::DrawDragImage(IDrawContext& dc) {
    const CColDisplay& col = m_control.Col(m_column);
    const int left = m_dragX - m_dragHotX;
    const int saved = dc.SaveDC();
    dc.FillSolidRect({left, 0, left + col.m_width, m_control.GetHeaderHeight()},
                     RGB(128, 128, 128));
    dc.SelectFont(m_control.GetLook().m_font);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkMode(TRANSPARENT);
    Rect text{left, 3, left + col.m_width, 17};
    dc.DrawText(col.m_title, text, static_cast<unsigned>(col.m_headerFormat));
    dc.RestoreDC(saved);
}

// ---- mouse --------------------------------------------------------------------------------

void CHeaderDisplay::OnLButtonDown(unsigned, Point p) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    m_control.SetFocus();
    m_lastPointer = p;
    m_pressX = p.x + m_control.GetHorzPos();
    const int border = m_control.CanSizeColumns() ? HitTestBorder(p.x) : -1;
    if (border >= 0) {
        m_mode = Resizing;
        m_position = border;
        m_column = m_control.GetColumnAt(border);
        m_startWidth = m_control.Col(m_column).m_width;
        SetCapture();
        SetTimer(kTimer, kTimerMs);
        return;
    }
    const int position = m_control.PositionAtX(m_pressX);
    if (position < 0 || position >= static_cast<int>(m_control.GetDisplayOrder().size())) {
        GetPlatform().MessageBeep(static_cast<unsigned>(-1));
        return;
    }
    SetCapture();
    SetTimer(kTimer, kTimerMs);
    m_mode = Pressed;
    m_buttonState = DFCS_PUSHED;
    m_position = position;
    m_column = m_control.GetColumnAt(position);
    m_startWidth = m_control.Col(m_column).m_width;
    RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

bool CHeaderDisplay::OverPressedTitle(Point p) const {
    return p.y >= 0 && p.y < m_control.GetHeaderHeight() && m_control.ColumnAtX(p.x) == m_column;
}

void CHeaderDisplay::SetPushed(bool pushed) {
    const unsigned state = pushed ? DFCS_PUSHED : 0;
    if (state == m_buttonState)
        return;
    m_buttonState = state;
    RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CHeaderDisplay::OnMouseMove(unsigned flags, Point p) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    m_lastPointer = p;
    HandleMove(flags, p);
}

void CHeaderDisplay::HandleMove(unsigned, Point p) {
    const int contentX = p.x + m_control.GetHorzPos();
    switch (m_mode) {
    case Idle: {
        const bool border = m_control.CanSizeColumns() && HitTestBorder(p.x) >= 0;
        SetCursor(border ? IDC_HSPLITBAR : IDC_ARROW);
        const int column = m_control.ColumnAtX(p.x);
        if (column != m_hoveredColumn) {
            m_hoveredColumn = column;
            GetPlatform().HideToolTip();
        }
        break;
    }
    case Pressed:
        if (OverPressedTitle(p)) {
            SetPushed(true);
            if (std::abs(contentX - m_pressX) > GetPlatform().GetSystemMetrics(SM_CXDRAG) &&
                m_control.CanMoveColumns())
                StartMoving(p);
        } else {
            SetPushed(false);
        }
        break;
    case Resizing:
        SetCursor(IDC_HSPLITBAR);
        m_control.SetColumnWidth(m_column, m_startWidth + contentX - m_pressX);
        m_control.Redraw(true);
        break;
    case Moving:
        MoveTo(p);
        break;
    default:
        break;
    }
}

void CHeaderDisplay::StartMoving(Point p) {
    m_dragImage = true;
    m_dragHotX = m_pressX - m_control.GetLeftEdge(m_position);
    m_dragX = p.x;
    m_mode = Moving;
    RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CHeaderDisplay::MoveTo(Point p) {
    m_dragX = p.x;
    const int hPos = m_control.GetHorzPos();
    const int target = m_control.PositionAtX(p.x + hPos);
    bool move = false;
    if (target >= 0 && target < static_cast<int>(m_control.GetDisplayOrder().size())) {
        if (target < m_position)
            move = p.x < m_control.GetLeftEdge(target) - hPos + m_startWidth;
        else
            move = p.x > m_control.GetLeftEdge(m_position) - hPos +
                             m_control.Col(m_control.GetColumnAt(target)).m_width;
    }
    if (move) {
        m_position = target;
        m_control.MoveColumn(m_column, target);
        m_control.Redraw(true);
    } else {
        RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
}

void CHeaderDisplay::OnLButtonUp(unsigned flags, Point p) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    const int mode = m_mode;
    m_mode = Idle;
    if (mode == Pressed)
        Click(flags, p);
    else if (mode == Moving)
        EndMoving();
    if (GetCapture() == this)
        ReleaseCapture();
    KillTimer(kTimer);
}

void CHeaderDisplay::Click(unsigned flags, Point p) {
    if (OverPressedTitle(p) && m_control.IsSortable()) {
        const int direction = m_sortKeys.GetSortState(m_column) == CSortKeys::kAscending
                                  ? CSortKeys::kDescending
                                  : CSortKeys::kAscending;
        const bool replace = (flags & (MK_SHIFT | MK_CONTROL)) == 0;
        if (SortByColumn(m_column, direction, replace))
            m_control.Redraw(true);
    }
    m_buttonState = 0;
    RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CHeaderDisplay::EndMoving() {
    m_dragImage = false;
    m_buttonState = 0;
    ResortAfterMove();
}

void CHeaderDisplay::OnLButtonDblClk(unsigned, Point p) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    const int border = m_control.CanSizeColumns() ? HitTestBorder(p.x) : -1;
    if (border < 0)
        return;
    {
        CWaitCursor wait(GetPlatform());
        m_control.AutoSizeColumn(m_control.GetColumnAt(border), true);
    }
    m_control.Redraw(true);
}

void CHeaderDisplay::OnTimer(unsigned) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    const int x = m_lastPointer.x;
    const int page = m_control.GetHorzPage();
    if (x <= kScrollMargin - 1)
        m_control.SetHorzPos(m_control.GetHorzPos() - (kScrollMargin - x) / 3);
    else if (x > page - kScrollMargin)
        m_control.SetHorzPos(m_control.GetHorzPos() + (x - (page - kScrollMargin)) / 3);
    HandleMove(0, m_lastPointer);
    m_control.Redraw(true);
}

void CHeaderDisplay::OnCaptureChanged(CWnd*) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    if (m_mode != Idle) {
        m_mode = Idle;
        m_dragImage = false;
        m_buttonState = 0;
        Invalidate();
    }
    KillTimer(kTimer);
    m_control.Notify(NM_RELEASEDCAPTURE);
}

bool CHeaderDisplay::OnContextMenu(CWnd*, Point screen) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    m_control.SetFocus();
    if (GetCapture() == this)
        ReleaseCapture();
    m_mode = Idle;
    KillTimer(kTimer);
    CEditController& edit = m_control.GetEditController();
    if (edit.IsEditing())
        edit.EndEdit(true);
    Kivra::CPopupMenu menu(GetPlatform().GetMenuFactory());
    const int column = screen.x < 0 ? -1 : m_control.ColumnAtX(ScreenToClient(screen).x);
    m_control.FillHeaderMenu(menu, column);
    NMTABLE record;
    record.iColumn = column;
    if (auto command =
            m_control.OfferMenu(record, menu, TVN_HEADERMENU, TVN_HEADERMENUCOMMAND, screen))
        m_control.RunHeaderMenuCommand(*command, column);
    return true;
}

// ---- sorting ------------------------------------------------------------------------------

bool CHeaderDisplay::SortByColumn(int column, int direction, bool replace) {
    CWaitCursor wait(GetPlatform());
    if (m_control.Notify(TVN_SORTCHANGING, -1, column) != 0)
        return false;
    if (replace)
        m_sortKeys.RemoveAll();
    m_sortKeys.SetSortState(column, direction);
    m_sortKeys.OrderByDisplayPosition(m_control.GetDisplayOrder());
    m_control.Sort(m_sortKeys);
    m_control.Notify(TVN_SORTED, -1, column);
    return true;
}

void CHeaderDisplay::ResortAfterMove() {
    if (m_sortKeys.GetCount() > 0) {
        CWaitCursor wait(GetPlatform());
        if (m_control.Notify(TVN_SORTCHANGING) == 0) {
            m_sortKeys.OrderByDisplayPosition(m_control.GetDisplayOrder());
            m_control.Sort(m_sortKeys);
            m_control.Notify(TVN_SORTED);
        }
    }
    m_control.Redraw(true);
}

} // namespace Tavex
