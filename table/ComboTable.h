// A combo box whose drop-down list is a table control in a top-level tool window, so the list
// may reach beyond the dialog. Tells its parent with the combo-box command codes.
// User-interface thread only.
#pragma once

#include "platform/Window.h"
#include "table/TableCtrl.h"

#include <string>

namespace Tavex {

// Command codes to the parent, with the combo's identifier.
constexpr unsigned CBN_SELCHANGE = 1;
constexpr unsigned CBN_KILLFOCUS = 4;
constexpr unsigned CBN_DROPDOWN = 7;
constexpr unsigned CBN_CLOSEUP = 8;
constexpr unsigned CBN_SELENDOK = 9;
constexpr unsigned CBN_SELENDCANCEL = 10;
constexpr unsigned CBN_VALUETAKEN = 100;

// The drop-down list: a table control without a placeholder in a frameless top-level window
// above the others, hidden until dropped.
class CComboTableDrop : public CTableCtrl {
public:
    bool Create(Platform::IPlatform& platform);
};

class CComboTable : public Platform::CWnd {
public:
    static constexpr const char* kWindowText = "Tavex::CComboTable";
    static constexpr int kMaxVisibleRows = 8;
    static constexpr unsigned kPrefixMemoryMs = 2000;

    CComboTable() = default;
    ~CComboTable() override;

    // rect in the parent's client coordinates; the window is 1 pixel larger on every side.
    bool Create(unsigned style, const Platform::Rect& rect, Platform::CWnd& parent, unsigned id);
    // The list's key column, the column whose text the combo shows and the column whose
    // integer is the value (-1: none).
    void SetUp(int keyColumn, int textColumn, int valueColumn);
    // Ends the list's columns: key column as given, text column 0, no value column.
    CRow* Build(int keyColumn);
    // The list itself: columns, rows and looks are set through it.
    CComboTableDrop& GetList() { return m_list; }

    void ShowDropDown(bool show);
    // The drop-down list's header and editors follow the dialog font like its owner's.
    void SetDesignScale(const Platform::CDesignScale& scale) { m_list.SetDesignScale(scale); }
    bool IsDropped() const { return m_dropped; }
    // Makes row the value without telling anyone.
    void SelectRow(int row);
    int GetSelectedRow() const { return m_selected; }
    const std::string& GetText() const { return m_text; }
    int GetValue() const { return m_value; }
    int GetTrackingState() const { return m_tracking; }
    const std::string& GetTypedPrefix() const { return m_prefix; }
    // The drop button's part of the client area.
    Platform::Rect ButtonRect() const;
    // The width the list gets at least (besides the combo's own).
    void SetMinListWidth(int width) { m_minListWidth = width; }

    void OnPaint(Platform::IDrawContext& dc, const Platform::Rect& clip) override;
    void OnLButtonDown(unsigned flags, Platform::Point p) override;
    void OnLButtonUp(unsigned flags, Platform::Point p) override;
    void OnMouseMove(unsigned flags, Platform::Point p) override;
    bool OnMouseWheel(unsigned flags, int delta, Platform::Point p) override;
    void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
    void OnChar(unsigned ch, unsigned repeat, unsigned flags) override;
    void OnKillFocus(Platform::CWnd* newWnd) override;
    void OnCaptureChanged(Platform::CWnd* newWnd) override;
    unsigned OnGetDlgCode() override {
        return Platform::DLGC_WANTARROWS | Platform::DLGC_WANTCHARS;
    }

protected:
    // Every command code to the parent passes here.
    virtual void NotifyParent(unsigned code) { SendCommand(code); }
    // Closes the list; ok takes the list's selection as the value.
    void CloseUp(bool ok);
    // Makes row the value and sends code 100.
    void TakeRow(int row);

    CComboTableDrop m_list;

private:
    // The list row under p (combo client coordinates) when it is fully visible; -1 otherwise.
    int ListRowAt(Platform::Point p);
    bool IsOverList(Platform::Point p) const;
    void PlaceList();
    void SearchPrefix();

    int m_selected = -1;
    std::string m_text;
    int m_value = -1;
    int m_keyColumn = -1;
    int m_textColumn = -1;
    int m_valueColumn = -1;
    bool m_dropped = false;
    bool m_buttonPressed = false;
    bool m_holdsCapture = false;
    // 0 idle, 1 opened by a press on the value area, 2 opened by a press on the button.
    int m_tracking = 0;
    int m_selectedAtDrop = -1;
    int m_minListWidth = 0;
    std::string m_prefix;
    unsigned m_lastCharTime = 0;
};

} // namespace Tavex
