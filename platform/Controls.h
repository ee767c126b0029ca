// Standard dialog controls made by the window system: push buttons, check boxes, static texts,
// group boxes and single-line edit fields. They report to their parent with OnCommand and the
// Win32 notification codes.
#pragma once

#include "platform/Window.h"

namespace Platform {

// Notification codes of OnCommand.
constexpr unsigned BN_CLICKED = 0;
constexpr unsigned EN_CHANGE = 0x300; // the user changed the text (not sent for SetWindowText)

// Check states.
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

// Edit styles.
constexpr unsigned ES_PASSWORD = 0x20;
constexpr unsigned ES_AUTOHSCROLL = 0x80;
constexpr unsigned ES_READONLY = 0x800;

class CControl : public CWnd {
public:
    // kind is one of the control kinds (PushButton to Edit).
    bool Create(CWnd& parent, WindowKind kind, const Rect& rect, unsigned style, unsigned id,
                const std::string& text);
    WindowKind GetKind() const { return m_kind; }

    // Check boxes (BST_*); 0 for other controls.
    void SetCheck(int state);
    int GetCheck() const;

private:
    WindowKind m_kind = WindowKind::Plain;
};

} // namespace Platform
