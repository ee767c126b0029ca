// Standard dialog controls made by the window system: push buttons, check boxes, radio buttons,
// static texts, group boxes, edit fields, combo boxes, progress bars and tab controls. They report
// to their parent with OnCommand (tab controls with OnNotify) and the Win32 notification codes; the
// program's own changes notify nobody.
#pragma once

#include "platform/Window.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Platform {

// Notification codes.
constexpr unsigned BN_CLICKED = 0;
constexpr unsigned CBN_SELCHANGE = 1;
// A double-click in the list of a CBS_SIMPLE combo box.
constexpr unsigned CBN_DBLCLK = 2;
constexpr unsigned CBN_EDITCHANGE = 5;
// The user chose an item: clicked it in the list or pressed Enter on it.
constexpr unsigned CBN_SELENDOK = 9;
constexpr unsigned EN_CHANGE = 0x300;
constexpr int TCN_SELCHANGE = -551;

// Starts a group of radio buttons; so does the first radio button after any other control.
constexpr unsigned WS_GROUP = 0x00020000;

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

    // Check boxes and radio buttons (BST_*); BST_UNCHECKED for other controls. SetCheck
    // changes only this button, as the window system's does.
    void SetCheck(int state);
    int GetCheck() const;
    // A radio button's group in window order (itself included); empty for other controls.
    std::vector<CControl*> GetRadioGroup() const;
    // Checks this radio button and unchecks the others of its group.
    void CheckInGroup();

    // Combo boxes and tab controls: the list of choices or tab captions. AddString keeps a
    // CBS_SORT list in case-insensitive order and returns where the text went.
    int AddString(const std::string& text);
    int InsertItem(int index, const std::string& text);
    void ResetContent();
    int GetCount() const { return static_cast<int>(m_items.size()); }
    // The text of an item; empty when there is no such item.
    std::string GetLBText(int index) const;
    // Removes one item and answers how many are left; CB_ERR when there is no such item.
    int DeleteString(int index);
    // A value kept with each item (0 for a new one); CB_ERR for an index that is not an item.
    int SetItemData(int index, std::intptr_t data);
    std::intptr_t GetItemData(int index) const;
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

    // Edit fields: the selection (end -1: to the end of the text), and the longest text the
    // user may type (0: no limit beyond the platform's own).
    void SetSel(int start, int end);
    void LimitText(int limit);

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
    std::vector<std::intptr_t> m_data; // one per item
    int m_min = 0;
    int m_max = 100;
    int m_pos = 0;
};

} // namespace Platform
