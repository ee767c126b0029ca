// The body and header menus, clipboard copy, HTML export and the column layout record.
#include "table/TableCtrl.h"

#include "table/TableExport.h"
#include "uictrl/PopupMenu.h"

#include <fstream>

namespace Tavex {

using namespace Platform;

namespace {
constexpr int kMaxShowColumn = 398;
constexpr int kMaxHideColumn = 399;
constexpr const char* kHtmlFilter = "Html Dateien (*.html)|*.html|Alle Dateien (*.*)|*.*||";
constexpr unsigned kSaveFlags = 0x800006;
} // namespace

bool CTableCtrl::IsTitled(int column) const {
    return !Col(column).m_title.empty() || !Col(column).m_headerTip.empty();
}

std::string CTableCtrl::MenuText(int column) const {
    std::string text = Col(column).m_headerTip;
    if (text.empty())
        return Col(column).m_title;
    for (char& c : text)
        if (c == '\n')
            c = ' ';
    return text;
}

void CTableCtrl::FillBodyMenu(Kivra::CPopupMenu& menu, int row, int column) {
    const int mode = m_selection.GetMode();
    menu.AppendItems(row >= 0 && column >= 0 ? "Copy cell" : "~Copy cell", ID_COPY_CELL);
    if (mode != CTableSelection::kNoSelection)
        menu.AppendItems("Copy", ID_COPY);
    menu.AppendItems("Copy all", ID_COPY_ALL);
    if (mode == CTableSelection::kMultiple)
        menu.AppendItems("Select all", ID_SELECT_ALL);
    menu.AppendItems("-;Show column;Hide column;Restore default;-;Save as ...", ID_SELECT_ALL + 1);

    IMenuFactory& factory = GetPlatform().GetMenuFactory();
    std::vector<int> hidable;
    // Columns beyond the identifier ranges cannot be offered: their commands would clash.
    for (int c : m_order)
        if (c <= kMaxHideColumn && IsTitled(c) && IsColumnVisible(c))
            hidable.push_back(c);
    Kivra::CPopupMenu hide(factory);
    // The last visible column cannot be hidden from here.
    if (hidable.size() < 2) {
        hide.AppendItems("~(none)", ID_HIDE);
    } else {
        for (int c : hidable)
            hide.Menu().AppendMenu(MF_STRING, ID_HIDE_COLUMN_FIRST + c, MenuText(c));
    }
    std::vector<int> showable;
    for (int c = 0; c < static_cast<int>(m_cols.size()) && c <= kMaxShowColumn; ++c)
        if (IsTitled(c) && !IsColumnVisible(c))
            showable.push_back(c);
    Kivra::CPopupMenu show(factory);
    if (showable.empty()) {
        show.AppendItems("~(none)", ID_SHOW_COLUMN);
    } else {
        show.AppendItems("&All columns;-", ID_SHOW_ALL_COLUMNS);
        for (int c : showable)
            show.Menu().AppendMenu(MF_STRING, ID_SHOW_COLUMN_FIRST + c, MenuText(c));
    }
    menu.SetSubMenu(ID_SHOW_COLUMN, show);
    menu.SetSubMenu(ID_HIDE_COLUMN, hide);
}

void CTableCtrl::RunBodyMenuCommand(unsigned command, int row, int column) {
    const int count = static_cast<int>(m_cols.size());
    if (command == ID_COPY_CELL) {
        CopyCell(row, column);
    } else if (command == ID_COPY || command == ID_COPY_ALL) {
        m_copyAll = command == ID_COPY_ALL;
        GetPlatform().OfferClipboardText(*this);
    } else if (command == ID_SELECT_ALL) {
        if (m_selection.GetMode() == CTableSelection::kMultiple) {
            if (m_table.GetRowCount() > 0)
                m_table.SelectRows(0, m_table.GetRowCount() - 1, true);
        } else if (m_table.IsValidRow(row)) {
            m_table.SelectRow(row, true);
        }
        Redraw(false);
    } else if (command == ID_RESTORE_DEFAULT) {
        RestoreDefault();
    } else if (command == ID_SAVE_AS) {
        SaveAsHtml();
    } else if (command == ID_SHOW_ALL_COLUMNS) {
        ShowAllColumns();
    } else if (command >= ID_SHOW_COLUMN_FIRST &&
               command <= ID_SHOW_COLUMN_FIRST + kMaxShowColumn) {
        const int c = static_cast<int>(command - ID_SHOW_COLUMN_FIRST);
        if (c < count) {
            SetColumnVisible(c, true);
            Redraw(false);
        }
    } else if (command >= ID_HIDE_COLUMN_FIRST &&
               command <= ID_HIDE_COLUMN_FIRST + kMaxHideColumn) {
        const int c = static_cast<int>(command - ID_HIDE_COLUMN_FIRST);
        if (c < count) {
            SetColumnVisible(c, false);
            Redraw(false);
        }
    }
}

void CTableCtrl::CopyCell(int row, int column) {
    if (!m_table.IsValidRow(row) || column < 0 || column >= static_cast<int>(m_cols.size()))
        return;
    GetPlatform().SetClipboardText(GetCellText(row, column));
}

CExportColumns CTableCtrl::ExportColumns() const {
    CExportColumns columns;
    columns.m_displayOrder = m_order;
    for (const CColDisplay& col : m_cols) {
        columns.m_visible.push_back(col.m_visible);
        columns.m_titles.push_back(col.m_title);
        columns.m_outputs.push_back(col.m_output.get());
    }
    return columns;
}

std::string CTableCtrl::OnRenderClipboardText() {
    CWaitCursor wait(GetPlatform());
    return CopyText(m_table, ExportColumns(), m_copyAll);
}

void CTableCtrl::SaveAsHtml() {
    SaveFileRequest request;
    request.defaultExt = "html";
    request.fileName = ExportFileName(GetWindowText());
    request.filter = kHtmlFilter;
    request.flags = kSaveFlags;
    std::string path;
    if (!GetPlatform().GetSaveFileName(nullptr, request, path))
        return;
    std::ofstream out(path, std::ios::out | std::ios::trunc);
    if (!out)
        return;
    CWaitCursor wait(GetPlatform());
    WriteHtml(out, m_table, ExportColumns());
}

void CTableCtrl::ShowAllColumns() {
    for (int c = 0; c < static_cast<int>(m_cols.size()); ++c)
        if (!Col(c).m_title.empty())
            SetColumnVisible(c, true);
    Redraw(false);
}

void CTableCtrl::RestoreDefault() {
    if (!m_defaultLayout.empty()) {
        RestoreLayout(m_defaultLayout);
        Redraw(false);
        return;
    }
    for (int j = 0; j < static_cast<int>(m_cols.size()); ++j)
        MoveColumn(j, j);
    AutoSizeColumns(true);
    ShowAllColumns();
}

void CTableCtrl::FillHeaderMenu(Kivra::CPopupMenu& menu, int column) {
    if (column < 0 || column >= static_cast<int>(m_cols.size())) {
        menu.AppendItems("~Todo: Implementieren", 1);
        return;
    }
    int visible = 0;
    for (const CColDisplay& col : m_cols)
        visible += col.m_visible ? 1 : 0;
    const std::string hide = visible <= 1 ? "~Hide" : "Hide";
    if (!m_sortable) {
        menu.AppendItems(hide, ID_HIDE);
        return;
    }
    menu.AppendItems("Ascending;Descending;No sort;-;" + hide, ID_SORT_ASCENDING);
    // The column's sort state carries the radio mark.
    const int state = m_header.GetSortKeys().GetSortState(column);
    const unsigned marked = state == CSortKeys::kAscending    ? ID_SORT_ASCENDING
                            : state == CSortKeys::kDescending ? ID_SORT_DESCENDING
                                                              : ID_SORT_NONE;
    menu.Menu().CheckMenuRadioItem(ID_SORT_ASCENDING, ID_SORT_NONE, marked, MF_BYCOMMAND);
}

void CTableCtrl::RunHeaderMenuCommand(unsigned command, int column) {
    switch (command) {
    case ID_SORT_ASCENDING:
        m_header.SortByColumn(column, CSortKeys::kAscending, false);
        break;
    case ID_SORT_DESCENDING:
        m_header.SortByColumn(column, CSortKeys::kDescending, false);
        break;
    case ID_SORT_NONE:
        m_header.SortByColumn(column, CSortKeys::kNotSorted, false);
        break;
    case ID_HIDE:
        SetColumnVisible(column, false);
        break;
    default:
        break;
    }
    Redraw(true);
}

std::vector<CLayoutColumn> CTableCtrl::LayoutColumns() const {
    std::vector<CLayoutColumn> columns;
    for (const CColDisplay& col : m_cols)
        columns.push_back({col.m_title, col.m_width, col.m_visible});
    return columns;
}

void CTableCtrl::SaveLayout(CWordArray& words) {
    Tavex::SaveLayout(words, LayoutColumns(), m_order);
}

bool CTableCtrl::RestoreLayout(const CWordArray& words) {
    std::vector<CLayoutColumn> columns = LayoutColumns();
    if (!Tavex::RestoreLayout(words, columns, m_order))
        return false;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        m_cols[c].m_width = columns[c].m_width;
        m_cols[c].m_visible = columns[c].m_visible;
    }
    return true;
}

std::optional<unsigned> CTableCtrl::OfferMenu(NMTABLE& record, Kivra::CPopupMenu& menu, int code,
                                              int commandCode, Platform::Point screen) {
    record.code = code;
    record.menu = &menu;
    record.x = screen.x;
    record.y = screen.y;
    if (Notify(record) != 0)
        return std::nullopt;
    record.command = static_cast<int>(menu.Track(screen.x, screen.y, Platform::TPM_RIGHTBUTTON));
    record.code = commandCode;
    if (Notify(record) != 0)
        return std::nullopt;
    return static_cast<unsigned>(record.command);
}

} // namespace Tavex
