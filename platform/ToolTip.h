// A tool-tip control: an owner window and the tool windows it answers tips for. When the
// pointer rests over a tool, the window system asks the owner with TTN_NEEDTEXTA (through
// OnNotify) and shows the text it fills in; an empty text shows nothing.
#pragma once

#include "platform/Window.h"

#include <string>

namespace Platform {

class CToolTipCtrl {
public:
    // The owner answers the tips; it must outlive its tools (they are usually its children).
    explicit CToolTipCtrl(CWnd& owner) : m_owner(owner) {}

    // The tool covers the whole of its window.
    void AddTool(CWnd& tool) { tool.m_toolTipOwner = &m_owner; }
    // Hides the tip shown now, so the next one is asked for anew.
    void Pop();

    // The window system's request: the tip for the pointer at p (tool's client coordinates).
    static std::string TextFor(CWnd& tool, Point p);

private:
    CWnd& m_owner;
};

} // namespace Platform
