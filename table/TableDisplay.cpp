#include "table/TableDisplay.h"

#include "table/TableCtrl.h"
#include "uictrl/PopupMenu.h"

#include <algorithm>

namespace Tavex {

using namespace Platform;

void CTableDisplay::Paint(IDrawContext& dc, const Rect& clip) {
    const int saved = dc.SaveDC();
    const int rows = m_control.GetTable()->GetRowCount();
    const int first = m_control.RowAtY(clip.top);
    const int end = std::min(rows, m_control.RowAtY(clip.bottom) + 1);
    PaintBackgrounds(dc, clip, first, end);
    PaintColumns(dc, clip, first, end);
    dc.RestoreDC(saved);
    if (m_control.HasFocus()) {
        const Rect focus = FocusRect();
        if (!focus.IsEmpty())
            dc.DrawFocusRect(focus);
    }
}

void CTableDisplay::PaintBackgrounds(IDrawContext& dc, const Rect& clip, int first, int end) {
    const int height = m_control.GetRowHeight();
    if (height <= 0)
        return;
    const int grid = m_control.GetHorzGrid();
    dc.SelectPen({PS_SOLID, std::max(1, grid), m_control.GetGridColour()});
    CTableInterface& table = *m_control.GetTable();
    int top = m_control.RowToY(first);
    // Bands follow the screen rows, so they stay put while the contents scroll.
    int parity = ((top / height) % 2 + 2) % 2;
    for (int r = first; top <= clip.bottom; ++r) {
        const bool selected = r < end && table.IsRowSelected(r);
        const ColorRef colour = RowBackground(selected, parity);
        const int bottom = top + height - grid;
        dc.FillSolidRect({clip.left, top, clip.right + 1, bottom}, colour);
        if (grid > 0) {
            dc.MoveTo(clip.left, bottom);
            dc.LineTo(clip.right, bottom);
        }
        parity ^= 1;
        top += height;
    }
}

ColorRef CTableDisplay::RowBackground(bool selected, int parity) const {
    const bool bands = m_control.GetLeparello();
    IPlatform& platform = GetPlatform();
    if (selected)
        return bands ? m_control.GetBandColour(1, parity) : platform.GetSysColor(COLOR_HIGHLIGHT);
    return bands ? m_control.GetBandColour(0, parity) : platform.GetSysColor(COLOR_WINDOW);
}

void CTableDisplay::PaintColumns(IDrawContext& dc, const Rect& clip, int first, int end) {
    const int count = static_cast<int>(m_control.GetDisplayOrder().size());
    const int height = m_control.GetRowHeight();
    const int vertGrid = m_control.GetVertGrid();
    const int hPos = m_control.GetHorzPos();
    CTableInterface& table = *m_control.GetTable();
    const int firstTop = m_control.RowToY(first);
    const Pen gridPen{PS_SOLID, std::max(1, vertGrid), m_control.GetGridColour()};
    for (int p = m_control.PositionAtX(clip.left + hPos); p >= 0 && p < count;
         p = m_control.NextVisibleColumn(p)) {
        const int x = m_control.GetLeftEdge(p) - hPos;
        if (x >= clip.right)
            break;
        const int column = m_control.GetColumnAt(p);
        const CColDisplay& col = m_control.Col(column);
        if (col.m_output && first < end) {
            col.m_output->Begin(dc);
            const Font normal = col.m_output->GetLook().m_font;
            Font bold = normal;
            bold.bold = true;
            bool strong = false;
            int top = firstTop;
            int parity = height > 0 ? ((top / height) % 2 + 2) % 2 : 0;
            for (int r = first; r < end; ++r, top += height, parity ^= 1) {
                const Rect text{x + m_control.GetLeftMargin(), top + 1,
                                x + col.m_width - m_control.GetRightMargin(), top + height - 1};
                if (const bool wanted = table.GetRow(r)->IsStrong(); wanted != strong) {
                    dc.SelectFont(wanted ? bold : normal);
                    strong = wanted;
                }
                const bool selected = table.IsRowSelected(r);
                col.m_output->SetRowBackground(RowBackground(selected, parity));
                col.m_output->Draw(text, *table.GetCell(r, column), selected);
            }
            col.m_output->End();
        }
        if (vertGrid > 0) {
            dc.SelectPen(gridPen);
            const int lineX = x + col.m_width - vertGrid;
            dc.MoveTo(lineX, firstTop);
            dc.LineTo(lineX, clip.bottom);
        }
    }
}

Rect CTableDisplay::FocusRect() const {
    const CCurrentCell& cell = m_control.GetCurrentCell();
    if (cell.GetMode() == CCurrentCell::kNone)
        return {};
    Rect r;
    const int row = cell.GetRow();
    if (row >= 0) {
        r.top = m_control.RowToY(row);
        r.bottom = r.top + m_control.GetRowHeight() - m_control.GetHorzGrid();
    } else {
        r.top = 0;
        r.bottom = m_control.GetVertPage();
    }
    const int column = cell.GetColumn();
    if (column >= 0) {
        r.left =
            m_control.GetLeftEdge(m_control.GetColumnPosition(column)) - m_control.GetHorzPos();
        r.right = r.left + m_control.Col(column).m_width - 1;
    } else {
        r.left = -1;
        r.right = m_control.GetHorzPage() + 1;
    }
    return r;
}

void CTableDisplay::ToggleFocusRect() {
    // Drawing by XOR needs the screen; the platform repaints instead, with or without it.
    if (IsWindow())
        RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CTableDisplay::StopDragSelecting() {
    if (!m_dragSelecting)
        return;
    m_dragSelecting = false;
    KillTimer(kTimer);
    if (GetCapture() == this)
        ReleaseCapture();
}

void CTableDisplay::OnLButtonDown(unsigned flags, Point p) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    m_control.SetFocus();
    m_lastPointer = p;
    const int row = m_control.RowAtY(p.y);
    const int column = m_control.ColumnAtX(p.x);
    if (m_control.GetTable()->IsValidRow(row)) {
        CEditController& edit = m_control.GetEditController();
        if (edit.IsEditing())
            edit.EndEdit(false);
        m_control.GetCurrentCell().Set(row, column);
        if (!(flags & (MK_SHIFT | MK_CONTROL)) && GetPlatform().GetKeyState(VK_MENU) >= 0)
            edit.BeginEdit(true);
        if (!edit.IsEditing()) {
            SetCapture();
            SetTimer(kTimer, kTimerMs);
            m_nextScrollTick = GetPlatform().GetTickCount();
            m_dragSelecting = true;
        }
        m_control.GetSelection().Select(flags, row);
        m_lastRow = row;
        m_lastColumn = column;
        RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    m_buttonDown = true;
}

void CTableDisplay::OnMouseMove(unsigned, Point p) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    m_lastPointer = p;
    if (m_dragSelecting) {
        DragStep(p);
        return;
    }
    const int row = m_control.RowAtY(p.y);
    const int column = m_control.ColumnAtX(p.x);
    if (row != m_hoveredRow || column != m_hoveredColumn) {
        m_hoveredRow = row;
        m_hoveredColumn = column;
        GetPlatform().HideToolTip();
    }
}

void CTableDisplay::OnTimer(unsigned id) {
    if (id != kTimer || !m_dragSelecting)
        return;
    CNotifyScope scope(m_control.NotificationsEnabled());
    DragStep(m_lastPointer);
}

void CTableDisplay::DragStep(Point p) {
    int row = m_control.RowAtY(p.y);
    const int column = m_control.ColumnAtX(p.x);
    CTableInterface& table = *m_control.GetTable();
    CCurrentCell& cell = m_control.GetCurrentCell();
    if (table.IsValidRow(row))
        cell.SetRow(row);
    if (column >= 0)
        cell.SetColumn(column);
    const int height = m_control.GetRowHeight();
    const int top = m_control.RowAtY(0);
    if (table.IsValidRow(row) && row != m_lastRow) {
        const unsigned now = GetPlatform().GetTickCount();
        const bool due = static_cast<int>(now - m_nextScrollTick) >= 0;
        const int shown = height > 0 ? m_control.GetVertPage() / height : 0;
        // The further beyond the edge, the faster: 420 ms per row at it, 70 ms from 15 px out.
        if (row < top) {
            if (!due) {
                if (column == m_lastColumn)
                    return;
            } else {
                const int s = 6 + p.y / 3;
                m_nextScrollTick = now + 70u * static_cast<unsigned>(std::max(s, 1));
                m_control.SetVertPos(m_control.GetVertPos() - height);
                row = top - 1;
            }
        } else if (row >= top + shown) {
            if (!due) {
                if (column == m_lastColumn)
                    return;
            } else {
                const int s = 6 - (p.y - shown * height) / 3;
                m_nextScrollTick = now + 70u * static_cast<unsigned>(std::max(s, 1));
                m_control.SetVertPos(m_control.GetVertPos() + height);
                row = top + shown;
            }
        }
    } else if (column == m_lastColumn) {
        return;
    }
    m_control.GetSelection().Select(MK_SHIFT, row);
    m_lastRow = row;
    m_lastColumn = column;
    m_control.Redraw(true);
}

void CTableDisplay::OnLButtonUp(unsigned, Point p) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    StopDragSelecting();
    if (m_doubleClick) {
        m_doubleClick = false;
    } else if (m_buttonDown) {
        SendClick(NM_CLICK, p);
    }
    m_buttonDown = false;
}

void CTableDisplay::OnLButtonDblClk(unsigned, Point p) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    StopDragSelecting();
    SendClick(NM_CLICK, p);
    SendClick(NM_DBLCLK, p);
    m_doubleClick = true;
}

void CTableDisplay::SendClick(int code, Point p) {
    NMTABLE record;
    record.code = code;
    const int row = m_control.RowAtY(p.y);
    record.iRow = m_control.GetTable()->IsValidRow(row) ? row : -1;
    record.iColumn = m_control.ColumnAtX(p.x);
    const Point inControl = m_control.ScreenToClient(ClientToScreen(p));
    record.x = inControl.x;
    record.y = inControl.y;
    m_control.Notify(record);
}

void CTableDisplay::OnCaptureChanged(CWnd*) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    m_dragSelecting = false;
    KillTimer(kTimer);
    m_control.Notify(NM_RELEASEDCAPTURE);
}

bool CTableDisplay::OnContextMenu(CWnd*, Point screen) {
    CNotifyScope scope(m_control.NotificationsEnabled());
    StopDragSelecting();
    m_control.SetFocus();
    CEditController& edit = m_control.GetEditController();
    if (edit.IsEditing())
        edit.EndEdit(true);
    CCurrentCell& cell = m_control.GetCurrentCell();
    CTableInterface& table = *m_control.GetTable();
    int row = -1, column = -1;
    if (screen.x < 0) {
        row = cell.GetRow();
        column = cell.GetColumn();
        Point p{0, 0};
        if (column >= 0)
            p.x = m_control.GetLeftEdge(m_control.GetColumnPosition(column)) -
                  m_control.GetHorzPos() + m_control.Col(column).m_width - 4;
        if (row >= 0)
            p.y = m_control.RowToY(row) + m_control.GetRowHeight() - 4;
        cell.MakeVisible();
        screen = ClientToScreen(p);
    } else {
        const Point p = ScreenToClient(screen);
        row = m_control.RowAtY(p.y);
        if (!table.IsValidRow(row))
            row = -1;
        column = m_control.ColumnAtX(p.x);
        cell.Set(row, column);
    }
    if (row != -1 && !table.IsRowSelected(row))
        m_control.GetSelection().Select(0, row);
    m_control.Redraw(true);
    Kivra::CPopupMenu menu(GetPlatform().GetMenuFactory());
    m_control.FillBodyMenu(menu, row, column);
    NMTABLE record;
    record.iRow = row;
    record.iColumn = column;
    if (auto command = m_control.OfferMenu(record, menu, TVN_BODYMENU, TVN_BODYMENUCOMMAND, screen))
        m_control.RunBodyMenuCommand(*command, row, column);
    return true;
}

} // namespace Tavex
