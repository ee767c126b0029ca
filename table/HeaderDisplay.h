// The strip of column titles above the body: push buttons with sort arrows; resizing by a
// title's border, autosizing by double-clicking it, moving by dragging a title, sorting by
// clicking one, and the header menu. It holds the control's sort keys.
#pragma once

#include "table/SortKeys.h"
#include "table/TableCtrlWnd.h"

namespace Tavex {

class CHeaderDisplay : public CTableCtrlWnd {
public:
    static constexpr int kHeight = 18;
    static constexpr int kArrowStep = 7;
    static constexpr int kScrollMargin = 15;
    static constexpr unsigned kTimer = 1;
    static constexpr unsigned kTimerMs = 60;

    enum Mode { Idle = 0, Pressed = 1, Resizing = 2, Moving = 3 };

    explicit CHeaderDisplay(CTableCtrl& control) : CTableCtrlWnd(control) {}

    CSortKeys& GetSortKeys() { return m_sortKeys; }
    int GetMode() const { return m_mode; }
    // The display position whose right border is at clientX, or -1.
    int HitTestBorder(int clientX) const;
    // Header click order: sorts by column unless the parent vetoes; keys stay in display order.
    bool SortByColumn(int column, int direction, bool replace);
    // After a column move the keys follow the new display order.
    void ResortAfterMove();

    void Paint(Platform::IDrawContext& dc, const Platform::Rect& clip) override;
    void OnLButtonDown(unsigned flags, Platform::Point p) override;
    void OnMouseMove(unsigned flags, Platform::Point p) override;
    void OnLButtonUp(unsigned flags, Platform::Point p) override;
    void OnLButtonDblClk(unsigned flags, Platform::Point p) override;
    void OnTimer(unsigned id) override;
    void OnCaptureChanged(Platform::CWnd* newWnd) override;
    bool OnContextMenu(Platform::CWnd* wnd, Platform::Point p) override;

private:
    void DrawButton(Platform::IDrawContext& dc, int column, const Platform::Rect& rect,
                    unsigned state);
    void DrawArrow(Platform::IDrawContext& dc, int x, int y, int direction);
    void DrawDragImage(Platform::IDrawContext& dc);
    void HandleMove(unsigned flags, Platform::Point p);
    void SetPushed(bool pushed);
    bool OverPressedTitle(Platform::Point p) const;
    void StartMoving(Platform::Point p);
    void MoveTo(Platform::Point p);
    void Click(unsigned flags, Platform::Point p);
    void EndMoving();

    int m_mode = Idle;
    int m_pressX = 0;
    int m_column = -1;
    unsigned m_buttonState = 0;
    int m_position = -1;
    int m_startWidth = 0;
    // While a column is moved: the image's hot spot and where the pointer is.
    bool m_dragImage = false;
    int m_dragHotX = 0;
    int m_dragX = 0;
    int m_hoveredColumn = -1;
    Platform::Point m_lastPointer;
    CSortKeys m_sortKeys;
};

} // namespace Tavex
