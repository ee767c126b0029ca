// The selected rows of a control as the user changes them: single or multiple mode, Shift
// extends from the anchor, Ctrl toggles. User changes are announced before and after.
#pragma once

namespace Tavex {

class CTableCtrl;

class CTableSelection {
public:
    static constexpr int kNoSelection = 0;
    static constexpr int kSingle = 1;
    static constexpr int kMultiple = 2;

    explicit CTableSelection(CTableCtrl& control) : m_control(control) {}

    int GetMode() const { return m_mode; }
    void SetMode(int mode) { m_mode = mode; }
    // Clamped to the last row.
    int GetAnchor() const;

    // A user's selection at row with the MK_SHIFT and MK_CONTROL flags; the parent may veto.
    void Select(unsigned flags, int row);
    // Without notification.
    void SelectOnly(int row);
    void Clear();
    int GetFirstSelected() const;

private:
    void SelectSingle(int row);
    void SelectMultiple(unsigned flags, int row);
    bool RangeIsSelectedExactly(int first, int last) const;
    bool RangeHasState(int first, int last, bool state) const;

    CTableCtrl& m_control;
    int m_mode = kMultiple;
    int m_anchor = -1;
};

} // namespace Tavex
