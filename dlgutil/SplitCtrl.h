// A thin bar the user drags to divide the space between two panes. While it is dragged it
// has the dialog layout re-place the children tied to it. User-interface thread only.
#pragma once

#include "dlgutil/DialogLayout.h"
#include "platform/Window.h"

namespace Dorlu_DlgUtil {

// Codes of the WM_COMMAND the bar sends its parent.
constexpr unsigned SPLIT_DRAG_START = 0;
constexpr unsigned SPLIT_DRAG_STEP = 1;
constexpr unsigned SPLIT_DRAG_END = 2;

class CSplitCtrl : public Platform::CWnd {
public:
    static constexpr const char* WindowText = "Dorlu_DlgUtil::CSplitCtrl";
    // The bar's thickness across its orientation once attached.
    static constexpr int Thickness = 6;

    // Takes the place, identifier and z-order of the placeholder child id of parent (shrunk
    // by one pixel on every side) and destroys the placeholder. False, and the placeholder
    // stays, when there is none or the bar exists already.
    bool ReplaceDlgItem(unsigned id, Platform::CWnd& parent);
    // Ties the bar to layout and limits it to [minPercent, maxPercent] of the reference
    // window's client width (a vertical bar) or height; makes the bar 6 pixels thick.
    void Attach(CDialogLayout& layout, int minPercent, int maxPercent,
                LayoutCallback callback = {});

    // The bar's near edge in percent of the extent, truncated.
    int GetPos() const;
    // Moves the bar to percent (limited to the bar's range) and returns GetPos afterwards.
    int SetPos(int percent);

    bool IsVertical() const { return m_vertical; }
    bool IsDragging() const { return m_dragging; }

    void OnPaint(Platform::IDrawContext& dc, const Platform::Rect& clip) override;
    void OnLButtonDown(unsigned flags, Platform::Point p) override;
    void OnMouseMove(unsigned flags, Platform::Point p) override;
    void OnLButtonUp(unsigned flags, Platform::Point p) override;
    void OnCaptureChanged(Platform::CWnd* newWnd) override;

private:
    int Extent() const;
    Platform::Rect RectInReference() const;
    // The rectangle with its near edge at pos, size kept.
    Platform::Rect MovedTo(Platform::Rect r, int pos) const;
    void EndDrag();

    CDialogLayout* m_layout = nullptr;
    bool m_vertical = false;
    double m_minimum = 0;   // percent
    double m_maximum = 100; // percent
    LayoutCallback m_callback;
    bool m_dragging = false;
    int m_grabOffset = 0;
    int m_lastPos = -1;
};

} // namespace Dorlu_DlgUtil
