// The base of the control's three displays (header, body, footer): a child window that knows
// its control and paints through Paint.
#pragma once

#include "platform/Window.h"

namespace Tavex {

class CTableCtrl;

class CTableCtrlWnd : public Platform::CWnd {
public:
    explicit CTableCtrlWnd(CTableCtrl& control) : m_control(control) {}

    virtual void Paint(Platform::IDrawContext& dc, const Platform::Rect& clip) = 0;
    void OnPaint(Platform::IDrawContext& dc, const Platform::Rect& clip) override {
        Paint(dc, clip);
    }

protected:
    CTableCtrl& m_control;
};

} // namespace Tavex
