// The body of a table control: row bands, grid, cell texts and the focus rectangle; mouse
// input that moves the current cell, selects rows (with auto-scrolling drag selection),
// reports clicks and opens the body menu.
#pragma once

#include "table/TableCtrlWnd.h"

namespace Tavex {

class CTableDisplay : public CTableCtrlWnd {
public:
    static constexpr unsigned kTimer = 1;
    static constexpr unsigned kTimerMs = 70;

    explicit CTableDisplay(CTableCtrl& control) : CTableCtrlWnd(control) {}

    bool IsDragSelecting() const { return m_dragSelecting; }
    void StopDragSelecting();
    // The focus rectangle of the current cell in client coordinates; empty when none.
    Platform::Rect FocusRect() const;
    // Where the pointer was at the last mouse event, in client coordinates.
    Platform::Point GetLastPointer() const { return m_lastPointer; }
    // Inverts the focus rectangle on the screen (drawing it twice removes it).
    void ToggleFocusRect();

    void Paint(Platform::IDrawContext& dc, const Platform::Rect& clip) override;
    void OnLButtonDown(unsigned flags, Platform::Point p) override;
    void OnLButtonUp(unsigned flags, Platform::Point p) override;
    void OnLButtonDblClk(unsigned flags, Platform::Point p) override;
    void OnMouseMove(unsigned flags, Platform::Point p) override;
    void OnTimer(unsigned id) override;
    void OnCaptureChanged(Platform::CWnd* newWnd) override;
    bool OnContextMenu(Platform::CWnd* wnd, Platform::Point p) override;

private:
    void PaintBackgrounds(Platform::IDrawContext& dc, const Platform::Rect& clip, int first,
                          int end);
    void PaintColumns(Platform::IDrawContext& dc, const Platform::Rect& clip, int first, int end);
    // The fill of a row: the bands by screen row when they are on, else the system colours.
    Platform::ColorRef RowBackground(bool selected, int parity) const;
    void DragStep(Platform::Point p);
    void SendClick(int code, Platform::Point p);

    bool m_doubleClick = false;
    bool m_buttonDown = false;
    int m_lastRow = -1;
    int m_lastColumn = -1;
    unsigned m_nextScrollTick = 0;
    bool m_dragSelecting = false;
    int m_hoveredRow = -1;
    int m_hoveredColumn = -1;
    // Where the pointer was last seen; the auto-scroll timer works with it.
    Platform::Point m_lastPointer;
};

} // namespace Tavex
