// Standard dialog controls made by the window system: push buttons, check boxes, static texts,
// group boxes, edit fields, combo boxes, progress bars and tab controls. They report to their
// parent with OnCommand (tab controls with OnNotify) and the Win32 notification codes; the
// program's own changes notify nobody.
#pragma once

#include "platform/Window.h"

#include <string>
#include <vector>

namespace Platform {

// Notification codes.
constexpr unsigned BN_CLICKED = 0;
constexpr unsigned CBN_SELCHANGE = 1;
constexpr unsigned CBN_EDITCHANGE = 5;
constexpr unsigned EN_CHANGE = 0x300;
constexpr int TCN_SELCHANGE = -551;

// Check states.
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

// Edit styles.
constexpr unsigned ES_PASSWORD = 0x20;
constexpr unsigned ES_AUTOHSCROLL = 0x80;
constexpr unsigned ES_READONLY = 0x800;

// Combo-box styles and answers.
constexpr unsigned CBS_SIMPLE = 0x1;
constexpr unsigned CBS_DROPDOWN = 0x2;
constexpr unsigned CBS_DROPDOWNLIST = 0x3;
constexpr unsigned CBS_SORT = 0x100;
constexpr int CB_ERR = -1;

class CControl : public CWnd {
public:
    // kind is one of the control kinds (PushButton to Tab).
    bool Create(CWnd& parent, WindowKind kind, const Rect& rect, unsigned style, unsigned id,
                const std::string& text);
    WindowKind GetKind() const { return m_kind; }

    // Check boxes (BST_*); BST_UNCHECKED for other controls.
    void SetCheck(int state);
    int GetCheck() const;

    // Combo boxes and tab controls: the list of choices or tab captions. AddString keeps a
    // CBS_SORT list in case-insensitive order and returns where the text went.
    int AddString(const std::string& text);
    int InsertItem(int index, const std::string& text);
    void ResetContent();
    int GetCount() const { return static_cast<int>(m_items.size()); }
    // The text of an item; empty when there is no such item.
    std::string GetLBText(int index) const;
    // CB_ERR when the index is not an item; -1 selects nothing.
    int SetCurSel(int index);
    int GetCurSel() const;
    // The first item that starts with the text (case-insensitive) after index start, wrapping
    // round; CB_ERR when none.
    int FindString(int start, const std::string& text) const;

    // A handler that passes a key on to CControl::OnKeyDown leaves it to the control's own
    // handling (moving the caret, say); one that returns without doing so takes it away.
    void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
    // For the window system: runs OnKeyDown and answers whether the control handles the key.
    bool FilterKeyDown(unsigned vk, unsigned repeat, unsigned flags);

    // Progress bars.
    void SetRange(int min, int max);
    int SetPos(int pos);
    // Moves the position by delta within the range; returns the old position.
    int DeltaPos(int delta);
    int GetPos() const { return m_pos; }

private:
    void PushItems();

    WindowKind m_kind = WindowKind::Plain;
    bool m_keyToControl = false;
    std::vector<std::string> m_items;
    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
};

} // namespace Platform
