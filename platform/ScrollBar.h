// A standard scroll-bar control. It keeps its range, page and position as set, and reports
// the user's actions to its parent as OnHScroll/OnVScroll with the SB_* codes; the parent
// decides the new position, as with Win32 scroll bars.
#pragma once

#include "platform/Window.h"

namespace Platform {

struct ScrollInfo {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
    // While the thumb is dragged: where it is now (SIF_TRACKPOS).
    int trackPos = 0;
};

class CScrollBar : public CWnd {
public:
    bool Create(CWnd& parent, const Rect& rect, bool horizontal, unsigned style, unsigned id);
    bool IsHorizontal() const { return m_horizontal; }

    // Range, page and position (track position ignored); the position is clamped to
    // [min, max - page + 1] as Win32 does.
    void SetScrollInfo(const ScrollInfo& info);
    const ScrollInfo& GetScrollInfo() const { return m_info; }
    void SetScrollPos(int pos);

    // Called by the window system when the user acts on the bar.
    void ReportScroll(unsigned code, int trackPos);

private:
    void Clamp();

    ScrollInfo m_info;
    bool m_horizontal = false;
};

} // namespace Platform
