// The grid window: shows one table model with typed columns through a header, a body and a
// footer display, keeps layout, scroll positions, current cell and selection, and reports
// user actions to its parent as NMTABLE notifications. User-interface thread only.
//
// Created in place of a dialog's placeholder (ReplaceDlgItem); the parent then defines the
// columns (SetColumnCount + SetColumn, or AddColumn), calls Build, fills rows and calls Redraw.
#pragma once

#include "platform/DialogUnits.h"
#include "platform/ScrollBar.h"
#include "platform/ToolTip.h"
#include "platform/Window.h"
#include "table/CellInput.h"
#include "table/CellOutput.h"
#include "table/CurrentCell.h"
#include "table/EditController.h"
#include "table/FooterDisplay.h"
#include "table/HeaderDisplay.h"
#include "table/LookSettings.h"
#include "table/Notify.h"
#include "table/Table.h"
#include "table/TableAccessible.h"
#include "table/TableCtrlInterface.h"
#include "table/TableDisplay.h"
#include "table/TableExport.h"
#include "table/TableSelection.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Kivra {
class CPopupMenu;
}

namespace Tavex {

// Placeholder styles that the control reads.
constexpr unsigned LVS_SINGLESEL = 0x0004;
constexpr unsigned LVS_NOCOLUMNHEADER = 0x4000;
constexpr unsigned LVS_NOSORTHEADER = 0x8000;

// Body menu command identifiers.
constexpr unsigned ID_COPY_CELL = 57345;
constexpr unsigned ID_COPY = 57346;
constexpr unsigned ID_COPY_ALL = 57347;
constexpr unsigned ID_SELECT_ALL = 57348;
constexpr unsigned ID_SHOW_COLUMN = 57350;
constexpr unsigned ID_HIDE_COLUMN = 57351;
constexpr unsigned ID_RESTORE_DEFAULT = 57352;
constexpr unsigned ID_SAVE_AS = 57354;
constexpr unsigned ID_SHOW_ALL_COLUMNS = 57443;
constexpr unsigned ID_SHOW_COLUMN_FIRST = 57444; // + column, up to 398
constexpr unsigned ID_HIDE_COLUMN_FIRST = 57844; // + column, up to 399
// Header menu command identifiers.
constexpr unsigned ID_SORT_ASCENDING = 57357;
constexpr unsigned ID_SORT_DESCENDING = 57358;
constexpr unsigned ID_SORT_NONE = 57359;
constexpr unsigned ID_HIDE = 57361;

// One column as the control shows it.
struct CColDisplay {
    bool m_visible = false;
    bool m_editable = false;
    int m_width = 0;
    int m_minimum = 0;
    int m_maximum = 4096;
    int m_minimumFloor = 0;
    int m_maximumCeiling = 4096;
    bool m_footerShown = false;
    std::unique_ptr<CCellOutput> m_output;
    std::unique_ptr<CCellInput> m_input;
    std::string m_title;
    int m_headerFormat = 0x8924;
    // The text after the title's first line feed: the header tip and the long menu text.
    std::string m_headerTip;
    std::string m_footerTip;
};

// The control's children and bars as arithmetic: sizes of header, body, footer and bars.
struct CCtrlLayout {
    int m_headerHeight = 0;
    int m_bodyHeight = 0;
    int m_footerHeight = 0;
    int m_horzBarHeight = 0;
    int m_vertBarWidth = 0;
    int m_width = 0; // width left for the body
};

class CTableCtrl : public Platform::CWnd, public CTableCtrlInterface {
public:
    static constexpr const char* kWindowText = "Tavex";

    CTableCtrl();
    ~CTableCtrl() override;

    // Takes the place, rectangle, identifier and tab position of the parent's child id.
    bool ReplaceDlgItem(unsigned id, Platform::CWnd& parent);

    // CTableInterface, where the control differs from its model.
    using CTableCtrlInterface::AddColumn;
    using CTableCtrlInterface::Build;
    using CTableCtrlInterface::SetColumn;
    void SetColumnCount(int count) override;
    void Build() override { Build(-1); }
    void ClearLayout() override;
    void Sort(const CSortKeys& keys) override;
    // The model recycles a deleted row's record for the next new row: the current cell and an
    // open edit let go of a row before it goes.
    void DeleteRow(int row) override;
    void DeleteAllRows() override;
    void DeleteSelectedRows() override;
    // The model's filter (see CTable): the current row stays current while it is shown.
    void FilterRows(const std::function<bool(const CRow&)>& show);
    int GetHiddenRowCount() const { return m_table.GetHiddenRowCount(); }

    // CTableCtrlInterface
    void Redraw(bool keepSortKeys) override;
    // After rows came in: as Redraw(true) for the body, painted with the next pass of the event
    // loop together with everything else invalidated until then.
    void RedrawLater();
    CRow* Build(int keyColumn) override;
    void Reserved4(int) override {}
    void Reserved5(int) override {}
    int AddColumn(const CColDef* def, const char* title, int width) override;
    void SetColumnView(int column, CCellOutput* output, CCellInput* input, const char* title,
                       int width) override;
    void SetColumn(int column, const CColDef* def, const char* title, int width) override;
    void SaveLayout(CWordArray& words) override;
    bool RestoreLayout(const CWordArray& words) override;
    int GetDlgCtrlID() const override { return static_cast<int>(CWnd::GetDlgCtrlID()); }
    void SetLeparello(bool on) override;
    bool GetLeparello() const override { return m_leparello; }
    void ShowHorzGrid(bool on) override;
    void ShowVertGrid(bool on) override { m_vertGrid = on ? m_gridWidth : 0; }
    bool HasHorzGrid() const override { return m_horzGrid != 0; }
    bool HasVertGrid() const override { return m_vertGrid != 0; }
    void ShowHeader(bool on) override { m_headerShown = on; }
    void Reserved6(int) override {}
    void SetSortable(bool on) override { m_sortable = on; }
    bool IsSortable() const override { return m_sortable; }
    CSortKeys* GetSortKeys() override { return &m_header.GetSortKeys(); }
    void SetColumnTitle(int column, const std::string& text, int format) override;
    void SetHeaderFormat(int column, int format) override;
    std::string GetColumnTitle(int column) const override { return Col(column).m_title; }
    int GetHeaderFormat(int column) const override { return Col(column).m_headerFormat; }
    void SetColumnWidth(int column, int width) override;
    void AutoSizeColumns(bool withTitle) override;
    void AutoSizeColumn(int column, bool withTitle) override;
    void SetColumnWidthLimits(int column, int minimum, int maximum) override;
    int GetColumnMinWidth(int column) const override { return Col(column).m_minimum; }
    int GetColumnMaxWidth(int column) const override { return Col(column).m_maximum; }
    int GetColumnWidth(int column) const override { return Col(column).m_width; }
    void AllowColumnSizing(bool on) override { m_canSize = on; }
    bool CanSizeColumns() const override { return m_canSize; }
    void AllowColumnMoving(bool on) override { m_canMove = on; }
    bool CanMoveColumns() const override { return m_canMove; }
    bool FitColumnsToWidth() override;
    void SetColumnVisible(int column, bool visible) override { Col(column).m_visible = visible; }
    std::string GetCellText(int row, int column) override;
    int FindRowByPrefix(int column, const std::string& prefix, int afterRow) override;
    int GetCurrentRow() const override { return m_selection.GetFirstSelected(); }
    void SetCurrentRow(int row) override;
    void SetRowKey(int row, int key) override;
    int GetRowKey(int row) override;
    int FindRowByKey(int key) override;

    // The control's own window operations.
    virtual bool IsColumnVisible(int column) const { return Col(column).m_visible; }
    virtual void MoveColumn(int column, int position);
    virtual int NextVisibleColumn(int position) const;
    virtual int PrevVisibleColumn(int position) const;
    virtual void FillBodyMenu(Kivra::CPopupMenu& menu, int row, int column);
    virtual void RunBodyMenuCommand(unsigned command, int row, int column);
    virtual void FillHeaderMenu(Kivra::CPopupMenu& menu, int column);
    virtual void RunHeaderMenuCommand(unsigned command, int column);
    virtual void EnableHorzScrollBar(bool on) { m_horzBarAllowed = on; }
    virtual void EnableVertScrollBar(bool on) { m_vertBarAllowed = on; }

    // Every column last to first: editable flag, cell mode, then row height and floors anew.
    void SetColumnsEditable(bool on);
    void EnsureVisible(int row, int column);
    // Receiver of notifications instead of the parent; nullptr: the parent.
    void SetNotifyTarget(Platform::CWnd* target) { m_notifyTarget = target; }

    // Geometry, in pixels. Positions index the display order.
    int GetRowHeight() const { return m_rowHeight; }
    // Fixed sizes of the header and the editors follow the dialog font; row heights and
    // column widths are measured anyway.
    void SetDesignScale(const Platform::CDesignScale& scale);
    const Platform::CDesignScale& GetDesignScale() const { return m_designScale; }
    int GetHeaderHeight() const;
    int GetHorzPos() const { return m_horzPos; }
    int GetVertPos() const { return m_vertPos; }
    int GetHorzPage() const { return m_horzPage; }
    int GetVertPage() const { return m_vertPage; }
    int GetHorzGrid() const { return m_horzGrid; }
    int GetVertGrid() const { return m_vertGrid; }
    int GetLeftMargin() const { return m_leftMargin; }
    int GetRightMargin() const { return m_rightMargin; }
    // Truncated to whole rows, then clamped.
    void SetVertPos(int pos);
    void SetHorzPos(int pos);
    int GetMaxVertPos() const;
    int GetMaxHorzPos() const;
    int GetTotalWidth() const;
    // Left edge of a position in content coordinates.
    int GetLeftEdge(int position) const;
    // The visible position containing content x, or the column count beyond all columns.
    int PositionAtX(int contentX) const;
    // The column at client x, or -1.
    int ColumnAtX(int clientX) const;
    // Row at client y, or the row count below the rows.
    int RowAtY(int clientY) const;
    int RowToY(int row) const { return row * m_rowHeight - m_vertPos; }
    int GetColumnPosition(int column) const;
    int GetColumnAt(int position) const { return m_order[static_cast<std::size_t>(position)]; }
    const std::vector<int>& GetDisplayOrder() const { return m_order; }
    // The sizes the layout gives a client area of width x height.
    CCtrlLayout ComputeLayout(int width, int height) const;

    CCurrentCell& GetCurrentCell() { return m_current; }
    const CCurrentCell& GetCurrentCell() const { return m_current; }
    CTableSelection& GetSelection() { return m_selection; }
    CEditController& GetEditController() { return m_edit; }
    CHeaderDisplay& GetHeader() { return m_header; }
    CTableDisplay& GetBody() { return m_body; }
    Platform::CScrollBar& GetHorzBar() { return m_horzBar; }
    Platform::CScrollBar& GetVertBar() { return m_vertBar; }
    const CCellLook& GetLook() const { return m_look; }
    CColDisplay& Col(int column) { return m_cols[static_cast<std::size_t>(column)]; }
    const CColDisplay& Col(int column) const { return m_cols[static_cast<std::size_t>(column)]; }
    bool HasFocus() const { return m_hasFocus; }
    bool IsHeaderShown() const { return m_headerShown; }
    Platform::ColorRef GetGridColour() const { return m_gridColour; }
    Platform::ColorRef GetBandColour(int selected, int parity) const;

    // Sends a notification when notifications are on; 0 otherwise.
    long Notify(int code, int row = -1, int column = -1);
    long Notify(NMTABLE& record);
    // Offers a filled context menu to the parent with code at the screen point, tracks it
    // unless the parent took over, and offers the chosen command with commandCode. Returns
    // the command the control runs itself, or nullopt when the parent handled it.
    std::optional<unsigned> OfferMenu(NMTABLE& record, Kivra::CPopupMenu& menu, int code,
                                      int commandCode, Platform::Point screen);
    bool& NotificationsEnabled() { return m_notify; }
    // The shared measuring context, or nullptr before the window exists.
    Platform::IDrawContext* MeasureContext();
    int TitleWidth(const std::string& title);

    // Window handlers.
    void OnCreate() override;
    void OnSize(int width, int height) override;
    void OnVScroll(unsigned code, int pos, Platform::CScrollBar* bar) override;
    void OnHScroll(unsigned code, int pos, Platform::CScrollBar* bar) override;
    bool OnMouseWheel(unsigned flags, int delta, Platform::Point p) override;
    void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
    void OnChar(unsigned ch, unsigned repeat, unsigned flags) override;
    void OnTimer(unsigned id) override;
    void OnSetFocus(Platform::CWnd* oldWnd) override;
    void OnKillFocus(Platform::CWnd* newWnd) override;
    void OnSysColorChange() override;
    Platform::IAccessibleTable* GetAccessibleTable() override { return &m_accessible; }
    unsigned OnGetDlgCode() override {
        return Platform::DLGC_WANTARROWS | Platform::DLGC_WANTCHARS;
    }
    bool OnContextMenu(Platform::CWnd* wnd, Platform::Point p) override;
    long OnNotify(Platform::NMHDR& hdr) override;
    std::string OnRenderClipboardText() override;

    static constexpr unsigned kTypeAheadTimer = 1;
    static constexpr unsigned kTypeAheadMs = 400;
    static constexpr int kTypeAheadTicks = 3;

private:
    void ForgetCurrentRow();
    void ApplyLook(const CLookSettings& look);
    // Text, selection, band and grid colours from the desktop's palette and the stored look.
    void ApplyDesktopColours();
    void AutoSizeRows();
    void ApplyLayout(int width, int height);
    void PlaceChild(Platform::CWnd& child, const Platform::Rect& rect, bool shown);
    void ScrollVert(unsigned code, int pos);
    void ScrollHorz(unsigned code, int pos);
    void FinishVertScroll(unsigned code);
    void HandleKey(unsigned vk);
    // Ctrl+C, Ctrl+A and Shift+F10; false for any other key.
    bool HandleDesktopKey(unsigned vk, bool ctrl, bool shift);
    std::string BodyTip(int row, int column);
    std::string HeaderTip(int column);
    std::string FooterTip(int column);
    void CopyCell(int row, int column);
    // The columns as copy and export see them: display order, visibility, titles, outputs.
    CExportColumns ExportColumns() const;
    void SaveAsHtml();
    void ShowAllColumns();
    void RestoreDefault();
    std::vector<CLayoutColumn> LayoutColumns() const;
    bool IsTitled(int column) const;
    std::string MenuText(int column) const;

    std::vector<CColDisplay> m_cols;
    std::vector<int> m_order;
    int m_keyColumn = -1;
    int m_horzPos = 0;
    int m_vertPos = 0;
    int m_horzPage = 0;
    int m_vertPage = 0;
    int m_leftMargin = 5;
    int m_rightMargin = 5;
    int m_topMargin = 1;
    int m_bottomMargin = 1;
    int m_gridWidth = 1;
    int m_textHeight = 0;
    int m_rowHeight = 2;
    Platform::CDesignScale m_designScale;
    int m_horzGrid = 0;
    int m_vertGrid = 1;
    bool m_leparello = true;
    bool m_headerShown = true;
    bool m_sortable = true;
    bool m_footerShown = false;
    bool m_bottomTabsShown = false;
    bool m_canSize = true;
    bool m_canMove = true;
    bool m_horzBarAllowed = true;
    bool m_vertBarAllowed = true;
    bool m_hasFocus = false;
    CWordArray m_defaultLayout;
    std::string m_typeAhead;
    int m_typeAheadCountdown = 0;
    CTable m_table;
    CCurrentCell m_current;
    CTableSelection m_selection;
    CEditController m_edit;
    CTable m_footerTable;
    CTableDisplay m_body;
    CHeaderDisplay m_header;
    CFooterDisplay m_footer;
    Platform::CScrollBar m_vertBar;
    Platform::CScrollBar m_horzBar;
    Platform::CToolTipCtrl m_toolTip;
    CCellLook m_look;
    Platform::ColorRef m_bandColour[2];
    Platform::ColorRef m_selectionColour[2];
    Platform::ColorRef m_gridColour;
    CLookSettings m_storedLook;
    CTableAccessible m_accessible{*this};
    bool m_copyAll = false;
    bool m_notify = false;
    Platform::CWnd* m_notifyTarget = nullptr;
    std::unique_ptr<Platform::IDrawContext> m_measureDc;
};

} // namespace Tavex
