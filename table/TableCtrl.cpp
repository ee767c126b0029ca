#include "table/TableCtrl.h"

#include "platform/Contrast.h"
#include "table/ColDef.h"
#include "table/PrefixSearch.h"

#include <algorithm>
#include <cmath>

namespace Tavex {

using namespace Platform;

namespace {
// Placeholder style bits that belong to the list view, not to the control window.
constexpr unsigned kListViewBits = 0x33FB;
} // namespace

CTableCtrl::CTableCtrl()
    : m_current(*this), m_selection(*this), m_edit(*this), m_body(*this), m_header(*this),
      m_footer(*this, m_footerTable), m_toolTip(*this) {
    SetTable(&m_table);
    m_bandColour[0] = RGB(240, 255, 240);
    m_bandColour[1] = RGB(224, 255, 224);
    m_selectionColour[0] = m_selectionColour[1] = RGB(0, 0, 128);
    m_gridColour = RGB(128, 160, 128);
    m_rowHeight = m_horzGrid + m_topMargin + m_bottomMargin;
    SetLeparello(true);
    ApplyLook(ReadLookSettings());
    AutoSizeRows();
}

CTableCtrl::~CTableCtrl() {
    // The displays are members: their windows go before the members they read.
    DestroyWindow();
}

void CTableCtrl::ApplyLook(const CLookSettings& look) {
    m_storedLook = look;
    m_horzGrid = look.m_horzGrid;
    m_vertGrid = look.m_vertGrid;
    m_leparello = look.m_leparello;
    m_bandColour[0] = look.m_bandColour0;
    m_bandColour[1] = look.m_bandColour1;
    m_gridColour = look.m_gridColour;
    m_gridWidth = look.m_gridWidth;
}

bool CTableCtrl::ReplaceDlgItem(unsigned id, CWnd& parent) {
    CWnd* placeholder = parent.GetDlgItem(id);
    if (!placeholder || IsWindow())
        return false;
    // The sibling before the placeholder keeps the control's place in the tab order.
    CWnd* before = nullptr;
    for (CWnd* child : parent.GetChildren()) {
        if (child == placeholder)
            break;
        before = child;
    }
    const Rect rect = parent.ScreenToClientRect(placeholder->GetWindowRect());
    const unsigned listStyle = placeholder->GetStyle();
    placeholder->DestroyWindow();
    const unsigned style =
        ((listStyle & ~kListViewBits) | WS_CHILD | WS_CLIPCHILDREN) & 0xFFFF0000u;
    if (!Create(parent, rect, style, id, kWindowText))
        return false;
    m_selection.SetMode((listStyle & LVS_SINGLESEL) ? CTableSelection::kSingle
                                                    : CTableSelection::kMultiple);
    m_selection.Clear();
    if (listStyle & LVS_NOCOLUMNHEADER)
        ShowHeader(false);
    if (listStyle & LVS_NOSORTHEADER)
        SetSortable(false);
    PlaceAfter(before);
    Redraw(true);
    return true;
}

void CTableCtrl::ApplyDesktopColours() {
    IPlatform& platform = GetPlatform();
    m_look.m_textColour = platform.GetSysColor(COLOR_WINDOWTEXT);
    m_look.m_selectedTextColour = platform.GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_selectionColour[0] = m_selectionColour[1] = platform.GetSysColor(COLOR_HIGHLIGHT);
    CDesktopColours desktop;
    desktop.m_text = m_look.m_textColour;
    desktop.m_base = platform.GetSysColor(COLOR_WINDOW);
    desktop.m_alternateBase = platform.GetSysColor(COLOR_ALTERNATEBASE);
    desktop.m_mid = platform.GetSysColor(COLOR_MID);
    const CRowColours rows = ResolveRowColours(m_storedLook, desktop);
    m_bandColour[0] = rows.m_band0;
    m_bandColour[1] = rows.m_band1;
    m_gridColour = rows.m_grid;
    // Dark themes often pair white text with a middle blue that it cannot be read on; the blue
    // darkens until it can.
    if (rows.m_fromPalette)
        m_selectionColour[0] = m_selectionColour[1] =
            ReadableOn(m_selectionColour[0], m_look.m_selectedTextColour);
    const auto lighter = [](ColorRef a, ColorRef b) {
        return ContrastRatio(a, 0) >= ContrastRatio(b, 0) ? a : b;
    };
    m_look.m_ownColourGround = rows.m_fromPalette ? lighter(rows.m_band0, rows.m_band1) : kNoColour;
    m_look.m_ownSelectedGround = rows.m_fromPalette ? m_selectionColour[0] : kNoColour;
}

void CTableCtrl::OnSysColorChange() {
    ApplyDesktopColours();
    Redraw(true);
}

void CTableCtrl::OnCreate() {
    ApplyDesktopColours();
    const Rect none{0, 0, 1, 1};
    m_body.Create(*this, none, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, "CTableDisplay");
    m_header.Create(*this, none, WS_CHILD | WS_VISIBLE, 0, "CHeaderDisplay");
    m_footer.Create(*this, none, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, "CFooterDisplay");
    m_horzBar.Create(*this, none, true, WS_CHILD | WS_VISIBLE, 0);
    m_vertBar.Create(*this, none, false, WS_CHILD | WS_VISIBLE, 0);
    m_header.SetCursor(IDC_ARROW);
    m_toolTip.AddTool(m_body);
    m_toolTip.AddTool(m_header);
    m_toolTip.AddTool(m_footer);
    AutoSizeRows();
}

IDrawContext* CTableCtrl::MeasureContext() {
    if (!m_measureDc && IsWindow())
        m_measureDc = GetPlatform().CreateMeasureContext();
    return m_measureDc.get();
}

int CTableCtrl::TitleWidth(const std::string& title) {
    IDrawContext* dc = MeasureContext();
    if (!dc)
        return 0;
    const int saved = dc->SaveDC();
    dc->SelectFont(m_look.m_font);
    const int width = dc->GetTextExtent(title).cx;
    dc->RestoreDC(saved);
    return width;
}

// ---- columns ----------------------------------------------------------------------------

void CTableCtrl::SetColumnCount(int count) {
    ClearLayout();
    m_table.SetColumnCount(count);
    m_cols.resize(static_cast<std::size_t>(count));
    m_order.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        m_order[static_cast<std::size_t>(i)] = i;
}

void CTableCtrl::ClearLayout() {
    m_edit.EndEdit(true);
    m_cols.clear();
    m_order.clear();
    m_table.ClearLayout();
    m_footerTable.ClearLayout();
    m_keyColumn = -1;
    m_horzPos = 0;
    m_vertPos = 0;
    m_current.Reset();
    m_defaultLayout.clear();
}

void CTableCtrl::Sort(const CSortKeys& keys) {
    CSortKeys& own = m_header.GetSortKeys();
    if (&keys != &own)
        own = keys;
    m_table.Sort(own);
}

CRow* CTableCtrl::Build(int keyColumn) {
    m_table.Build();
    AutoSizeRows();
    m_keyColumn = keyColumn;
    m_footerTable.CopyStructure(&m_table);
    return m_footerTable.AddRow();
}

int CTableCtrl::AddColumn(const CColDef* def, const char* title, int width) {
    CCellCompare* compare = def->CreateCompare();
    CCellFactory* factory = def->CreateFactory();
    const int column = m_table.AddColumn(factory, compare);
    m_cols.emplace_back();
    m_order.push_back(column);
    CCellInput* input = def->CreateInput();
    CCellOutput* output = def->CreateOutput();
    SetColumnView(column, output, input, title, width);
    return column;
}

void CTableCtrl::SetColumn(int column, const CColDef* def, const char* title, int width) {
    CCellCompare* compare = def->CreateCompare();
    CCellFactory* factory = def->CreateFactory();
    m_table.SetColumn(column, factory, compare);
    CCellInput* input = def->CreateInput();
    CCellOutput* output = def->CreateOutput();
    SetColumnView(column, output, input, title, width);
}

void CTableCtrl::SetColumnView(int column, CCellOutput* output, CCellInput* input,
                               const char* title, int width) {
    const bool visible = title != nullptr && width >= 0;
    output->SetLook(&m_look);
    if (width <= 0) {
        int natural = 0;
        if (IDrawContext* dc = MeasureContext()) {
            output->Begin(*dc);
            natural = output->GetDefaultWidth();
            output->End();
        } else {
            natural = output->GetDefaultWidth();
        }
        width = natural + m_leftMargin + m_rightMargin;
    }
    // The open editor must not be destroyed under the edit.
    if (m_edit.IsEditing() && m_current.GetColumn() == column)
        m_edit.EndEdit(true);
    CColDisplay& col = Col(column);
    col.m_output.reset(output);
    col.m_input.reset(input);
    SetColumnWidth(column, width);
    SetColumnVisible(column, visible);
    SetColumnTitle(column, title ? title : "", -1);
    SetHeaderFormat(column, static_cast<int>(output->GetFormat()));
}

void CTableCtrl::SetColumnTitle(int column, const std::string& text, int format) {
    CColDisplay& col = Col(column);
    const auto lf = text.find('\n');
    col.m_title = text.substr(0, lf);
    col.m_headerTip = lf == std::string::npos ? std::string() : text.substr(lf + 1);
    SetHeaderFormat(column, format);
}

void CTableCtrl::SetHeaderFormat(int column, int format) {
    CColDisplay& col = Col(column);
    if (format == -1)
        format = col.m_output ? static_cast<int>(col.m_output->GetFormat()) : 0x8924;
    col.m_headerFormat = format;
}

void CTableCtrl::SetColumnWidth(int column, int width) {
    CColDisplay& col = Col(column);
    col.m_width = std::clamp(width, col.m_minimum, std::max(col.m_minimum, col.m_maximum));
}

void CTableCtrl::SetColumnWidthLimits(int column, int minimum, int maximum) {
    CColDisplay& col = Col(column);
    col.m_minimum = std::max(minimum, col.m_minimumFloor);
    col.m_maximum = std::min(maximum, col.m_maximumCeiling);
}

void CTableCtrl::AutoSizeRows() {
    m_textHeight = 0;
    IDrawContext* dc = MeasureContext();
    for (int c = static_cast<int>(m_cols.size()) - 1; c >= 0; --c) {
        CColDisplay& col = Col(c);
        int width = 0;
        if (dc && col.m_output) {
            col.m_output->Begin(*dc);
            width = col.m_output->GetMinWidth();
            m_textHeight = std::max(m_textHeight, col.m_output->GetRowHeight());
            col.m_output->End();
        }
        if (col.m_input && col.m_editable) {
            width = std::max(width, m_designScale.X(col.m_input->GetEditorWidth()));
            m_textHeight = std::max(m_textHeight, m_designScale.Y(col.m_input->GetEditorHeight()));
        }
        col.m_minimumFloor = m_vertGrid + m_leftMargin + m_rightMargin + width;
        col.m_maximumCeiling = 4096;
        SetColumnWidthLimits(c, col.m_minimum, col.m_maximum);
        SetColumnWidth(c, col.m_width);
    }
    m_rowHeight = m_horzGrid + m_textHeight + m_topMargin + m_bottomMargin;
}

void CTableCtrl::SetDesignScale(const Platform::CDesignScale& scale) {
    m_designScale = scale;
    AutoSizeRows();
    if (IsWindow()) {
        const Rect client = GetClientRect();
        OnSize(client.Width(), client.Height());
    }
}

int CTableCtrl::GetHeaderHeight() const {
    return m_designScale.Y(CHeaderDisplay::kHeight);
}

void CTableCtrl::AutoSizeColumns(bool withTitle) {
    for (int c = static_cast<int>(m_cols.size()) - 1; c >= 0; --c)
        AutoSizeColumn(c, withTitle);
}

void CTableCtrl::AutoSizeColumn(int column, bool withTitle) {
    CColDisplay& col = Col(column);
    int width = 0;
    IDrawContext* dc = MeasureContext();
    const CColData* data = m_table.GetColumnCount() > column && m_table.GetRowSize() != 0
                               ? m_table.GetColumnData(column)
                               : nullptr;
    if (dc && data && col.m_output) {
        col.m_output->Begin(*dc);
        width = col.m_output->GetContentWidth(*data);
        col.m_output->End();
    }
    if (col.m_editable && col.m_input)
        width += m_designScale.X(16);
    if (m_footerShown && col.m_footerShown && dc && col.m_output &&
        m_footerTable.GetRowCount() > 0) {
        col.m_output->Begin(*dc);
        width = std::max(width, col.m_output->GetTextWidth(*m_footerTable.GetCell(0, column)));
        col.m_output->End();
    }
    if (withTitle)
        width = std::max(width, TitleWidth(col.m_title));
    SetColumnWidth(column, m_leftMargin + m_rightMargin + width);
}

void CTableCtrl::SetColumnsEditable(bool on) {
    for (int c = static_cast<int>(m_cols.size()) - 1; c >= 0; --c) {
        Col(c).m_editable = on;
        m_current.SetMode(CCurrentCell::kCellMode);
    }
    AutoSizeRows();
}

bool CTableCtrl::FitColumnsToWidth() {
    const int total = GetTotalWidth();
    if (total <= 0)
        return true;
    const int bar = IsWindow() ? GetPlatform().GetSystemMetrics(SM_CXVSCROLL) : 0;
    const double factor = static_cast<double>(m_horzPage - bar) / total;
    int sum = 0;
    for (int c = static_cast<int>(m_cols.size()) - 1; c >= 0; --c) {
        if (!IsColumnVisible(c))
            continue;
        SetColumnWidth(c, static_cast<int>(std::trunc(Col(c).m_width * factor)));
        sum += Col(c).m_width;
    }
    const int last = PrevVisibleColumn(static_cast<int>(m_order.size()));
    if (last >= 0) {
        const int column = GetColumnAt(last);
        SetColumnWidth(column, Col(column).m_width + (m_horzPage - bar - sum));
    }
    return true;
}

void CTableCtrl::MoveColumn(int column, int position) {
    auto it = std::find(m_order.begin(), m_order.end(), column);
    if (it == m_order.end())
        return;
    m_order.erase(it);
    position = std::clamp(position, 0, static_cast<int>(m_order.size()));
    m_order.insert(m_order.begin() + position, column);
}

int CTableCtrl::NextVisibleColumn(int position) const {
    const int count = static_cast<int>(m_order.size());
    for (int p = std::max(position + 1, 0); p < count; ++p)
        if (IsColumnVisible(GetColumnAt(p)))
            return p;
    return count;
}

int CTableCtrl::PrevVisibleColumn(int position) const {
    for (int p = std::min(position, static_cast<int>(m_order.size())) - 1; p >= 0; --p)
        if (IsColumnVisible(GetColumnAt(p)))
            return p;
    return -1;
}

std::string CTableCtrl::GetCellText(int row, int column) {
    if (!m_table.IsValidRow(row) || !IsValidColumn(column))
        return {};
    const CColDisplay& col = Col(column);
    return col.m_output ? col.m_output->GetText(*m_table.GetCell(row, column)) : std::string();
}

int CTableCtrl::FindRowByPrefix(int column, const std::string& prefix, int afterRow) {
    if (!IsValidColumn(column))
        return -1;
    const CColDisplay& col = Col(column);
    return col.m_output ? Tavex::FindRowByPrefix(m_table, *col.m_output, column, prefix, afterRow)
                        : -1;
}

void CTableCtrl::SetCurrentRow(int row) {
    // An open edit belongs to the row it was typed for: store it before that row stops being
    // current, or the editor would follow and store it into the new one.
    if (m_edit.IsEditing() && row != m_current.GetRow())
        m_edit.EndEdit(false);
    m_selection.Clear();
    if (row >= 0 && m_table.IsValidRow(row)) {
        m_selection.SelectOnly(row);
        m_current.SetRow(row);
        EnsureVisible(row, -1);
    }
}

void CTableCtrl::DeleteRow(int row) {
    if (m_table.IsValidRow(row) && row == m_current.GetRow())
        ForgetCurrentRow();
    CTableCtrlInterface::DeleteRow(row);
}

void CTableCtrl::DeleteAllRows() {
    ForgetCurrentRow();
    CTableCtrlInterface::DeleteAllRows();
}

void CTableCtrl::DeleteSelectedRows() {
    const int current = m_current.GetRow();
    if (current >= 0 && m_table.IsRowSelected(current))
        ForgetCurrentRow();
    CTableCtrlInterface::DeleteSelectedRows();
}

void CTableCtrl::FilterRows(const std::function<bool(const CRow&)>& show) {
    m_edit.EndEdit(true);
    m_table.FilterRows(show);
    // The current cell follows its row object; a hidden row must not come back current.
    if (m_current.GetRow() < 0)
        ForgetCurrentRow();
}

void CTableCtrl::ForgetCurrentRow() {
    m_edit.EndEdit(true);
    m_current.Reset();
}

void CTableCtrl::SetRowKey(int row, int key) {
    if (m_keyColumn >= 0 && m_table.IsValidRow(row))
        m_table.GetCell(row, m_keyColumn)->SetInt(key);
}

int CTableCtrl::GetRowKey(int row) {
    if (m_keyColumn < 0 || !m_table.IsValidRow(row))
        return -1;
    return m_table.GetCell(row, m_keyColumn)->GetInt();
}

int CTableCtrl::FindRowByKey(int key) {
    if (m_keyColumn < 0)
        return -1;
    CDInt value(key);
    return m_table.FindRow(m_keyColumn, &value, -1);
}

// ---- look ---------------------------------------------------------------------------------

void CTableCtrl::SetLeparello(bool on) {
    m_leparello = on;
    ShowHorzGrid(!on);
    ShowVertGrid(true);
}

void CTableCtrl::ShowHorzGrid(bool on) {
    if (on == HasHorzGrid())
        return;
    const int step = on ? m_gridWidth : -m_gridWidth;
    m_horzGrid += step;
    m_rowHeight += step;
}

ColorRef CTableCtrl::GetBandColour(int selected, int parity) const {
    return selected ? m_selectionColour[parity & 1] : m_bandColour[parity & 1];
}

// ---- geometry -----------------------------------------------------------------------------

int CTableCtrl::GetTotalWidth() const {
    int total = 0;
    for (const CColDisplay& col : m_cols)
        if (col.m_visible)
            total += col.m_width;
    return total;
}

int CTableCtrl::GetLeftEdge(int position) const {
    int x = 0;
    for (int p = 0; p < position && p < static_cast<int>(m_order.size()); ++p) {
        const CColDisplay& col = Col(GetColumnAt(p));
        if (col.m_visible)
            x += col.m_width;
    }
    return x;
}

int CTableCtrl::PositionAtX(int contentX) const {
    const int count = static_cast<int>(m_order.size());
    int sum = 0;
    for (int p = 0; p < count; ++p) {
        const CColDisplay& col = Col(GetColumnAt(p));
        if (col.m_visible)
            sum += col.m_width;
        if (sum > contentX)
            return PrevVisibleColumn(p + 1);
    }
    return count;
}

int CTableCtrl::ColumnAtX(int clientX) const {
    const int position = PositionAtX(clientX + m_horzPos);
    if (position < 0 || position >= static_cast<int>(m_order.size()))
        return -1;
    return GetColumnAt(position);
}

int CTableCtrl::RowAtY(int clientY) const {
    const long long y = static_cast<long long>(clientY) + m_vertPos;
    const long long rows = m_table.GetRowCount();
    if (m_rowHeight <= 0 || y >= rows * m_rowHeight)
        return static_cast<int>(rows);
    // Above the first row the division rounds towards the first row, as the rows start at 0.
    return static_cast<int>(y / m_rowHeight);
}

int CTableCtrl::GetColumnPosition(int column) const {
    auto it = std::find(m_order.begin(), m_order.end(), column);
    return it == m_order.end() ? -1 : static_cast<int>(it - m_order.begin());
}

int CTableCtrl::GetMaxVertPos() const {
    if (m_rowHeight <= 0)
        return 0;
    const long long content = static_cast<long long>(m_table.GetRowCount()) * m_rowHeight;
    const long long shown = static_cast<long long>(m_rowHeight) * (m_vertPage / m_rowHeight);
    return static_cast<int>(std::max(0LL, content - shown));
}

int CTableCtrl::GetMaxHorzPos() const {
    return std::max(0, GetTotalWidth() - m_horzPage);
}

void CTableCtrl::SetVertPos(int pos) {
    if (m_rowHeight > 0)
        pos = pos / m_rowHeight * m_rowHeight;
    m_vertPos = std::clamp(pos, 0, GetMaxVertPos());
}

void CTableCtrl::SetHorzPos(int pos) {
    m_horzPos = std::clamp(pos, 0, GetMaxHorzPos());
}

void CTableCtrl::EnsureVisible(int row, int column) {
    if (m_table.IsValidRow(row) && m_rowHeight > 0) {
        const int first = m_vertPos / m_rowHeight;
        const int shown = m_vertPage / m_rowHeight;
        if (row < first)
            SetVertPos(row * m_rowHeight);
        else if (row >= first + shown)
            SetVertPos(m_rowHeight * (row - shown + 1));
    }
    if (column >= 0 && column < static_cast<int>(m_cols.size())) {
        const int left = GetLeftEdge(GetColumnPosition(column));
        const int right = left + (IsColumnVisible(column) ? Col(column).m_width : 0);
        if (left > m_horzPos) {
            if (right > m_horzPos + m_horzPage)
                SetHorzPos(right - m_horzPage);
        } else {
            SetHorzPos(left);
        }
    }
}

// ---- layout -------------------------------------------------------------------------------

CCtrlLayout CTableCtrl::ComputeLayout(int width, int height) const {
    CCtrlLayout l;
    l.m_headerHeight = m_headerShown ? GetHeaderHeight() : 0;
    l.m_footerHeight = m_footerShown ? m_rowHeight + 2 : 0;
    l.m_bodyHeight = height - l.m_footerHeight - l.m_headerHeight;
    l.m_width = width;
    const IPlatform* platform = IsWindow() ? &GetPlatform() : nullptr;
    const int barHeight = platform ? platform->GetSystemMetrics(SM_CXHSCROLL) : 0;
    const int barWidth = platform ? platform->GetSystemMetrics(SM_CXVSCROLL) : 0;
    const long long content = static_cast<long long>(m_table.GetRowCount()) * m_rowHeight;
    const int total = GetTotalWidth();
    for (;;) {
        bool addedHorz = false;
        if (m_horzBarAllowed && l.m_horzBarHeight == 0 &&
            (m_bottomTabsShown || l.m_width + m_gridWidth < total)) {
            l.m_horzBarHeight = barHeight;
            l.m_bodyHeight -= barHeight;
            addedHorz = true;
        }
        if (m_vertBarAllowed && l.m_vertBarWidth == 0 && l.m_bodyHeight < content) {
            l.m_vertBarWidth = barWidth;
            l.m_width -= barWidth;
            continue;
        }
        if (!addedHorz)
            break;
    }
    return l;
}

void CTableCtrl::ApplyLayout(int width, int height) {
    const CCtrlLayout l = ComputeLayout(width, height);
    m_horzPage = l.m_width;
    m_vertPage = l.m_bodyHeight;
    SetHorzPos(m_horzPos);
    SetVertPos(m_vertPos);
    if (!m_body.IsWindow())
        return;
    ScrollInfo horz;
    horz.max = GetMaxHorzPos() + m_horzPage - 1;
    horz.page = m_horzPage;
    horz.pos = m_horzPos;
    m_horzBar.SetScrollInfo(horz);
    ScrollInfo vert;
    vert.max = GetMaxVertPos() + m_vertPage - 1;
    vert.page = m_vertPage;
    vert.pos = m_vertPos;
    m_vertBar.SetScrollInfo(vert);

    const int hh = l.m_headerHeight, bh = l.m_bodyHeight, fh = l.m_footerHeight;
    const int w = l.m_width, sw = l.m_vertBarWidth, sh = l.m_horzBarHeight;
    PlaceChild(m_body, {0, hh, w, hh + bh}, true);
    PlaceChild(m_header, {0, 0, w + sw, hh}, hh > 0);
    PlaceChild(m_footer, {0, hh + bh, w, hh + bh + fh}, fh > 0);
    PlaceChild(m_vertBar, {w, hh, w + sw, hh + bh + fh}, sw > 0);
    PlaceChild(m_horzBar, {0, hh + bh + fh, w, hh + bh + fh + sh}, sh > 0);
}

void CTableCtrl::PlaceChild(CWnd& child, const Rect& rect, bool shown) {
    if (shown) {
        child.MoveWindow(rect, false);
        child.ShowWindow(true);
        child.EnableWindow(true);
        child.Invalidate();
    } else {
        child.ShowWindow(false);
        child.EnableWindow(false);
    }
}

void CTableCtrl::OnSize(int width, int height) {
    const int horz = m_horzPos, vert = m_vertPos;
    ApplyLayout(width, height);
    if (!m_body.IsWindow())
        return;
    if (horz != m_horzPos || vert != m_vertPos) {
        m_header.Invalidate();
        m_footer.Invalidate();
    }
    Invalidate();
    m_body.RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CTableCtrl::Redraw(bool keepSortKeys) {
    const Rect client = GetClientRect();
    ApplyLayout(client.Width(), client.Height());
    if (!keepSortKeys)
        m_header.GetSortKeys().RemoveAll();
    m_edit.UpdateEditorPos();
    RedrawWindow(nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CTableCtrl::RedrawLater() {
    const Rect client = GetClientRect();
    ApplyLayout(client.Width(), client.Height());
    m_edit.UpdateEditorPos();
    // New rows change the body and the scroll bars, which repaint themselves; the header and
    // footer stay as they were.
    m_body.Invalidate();
}

// ---- scrolling ----------------------------------------------------------------------------

void CTableCtrl::OnVScroll(unsigned code, int pos, CScrollBar*) {
    ScrollVert(code, pos);
    FinishVertScroll(code);
}

void CTableCtrl::ScrollVert(unsigned code, int pos) {
    switch (code) {
    case SB_LINEUP:
        SetVertPos(m_vertPos - m_rowHeight);
        break;
    case SB_LINEDOWN:
        SetVertPos(m_vertPos + m_rowHeight);
        break;
    case SB_PAGEUP:
        SetVertPos(m_vertPos - (m_vertPage - m_rowHeight));
        break;
    case SB_PAGEDOWN:
        SetVertPos(m_vertPos + (m_vertPage - m_rowHeight));
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        SetVertPos(pos);
        break;
    default:
        break;
    }
}

void CTableCtrl::FinishVertScroll(unsigned code) {
    if (code != SB_THUMBTRACK)
        m_vertBar.SetScrollPos(m_vertPos);
    m_edit.UpdateEditorPos();
    m_body.RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CTableCtrl::OnHScroll(unsigned code, int pos, CScrollBar*) {
    ScrollHorz(code, pos);
    if (code != SB_THUMBTRACK)
        m_horzBar.SetScrollPos(m_horzPos);
    m_edit.UpdateEditorPos();
    m_body.RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (m_headerShown)
        m_header.RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (m_footerShown)
        m_footer.RedrawWindow(nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CTableCtrl::ScrollHorz(unsigned code, int pos) {
    // A very narrow view still moves by at least a pixel, never backwards.
    const int limit = std::max(1, m_horzPage - 32);
    const int count = static_cast<int>(m_order.size());
    switch (code) {
    case SB_LINELEFT: {
        const int p = PositionAtX(m_horzPos);
        int target = 0;
        if (p < count && GetLeftEdge(p) < m_horzPos) {
            target = GetLeftEdge(p);
        } else {
            const int prev = PrevVisibleColumn(p);
            target = prev >= 0 ? GetLeftEdge(prev) : 0;
        }
        SetHorzPos(std::max(target, m_horzPos - limit));
        break;
    }
    case SB_LINERIGHT: {
        const int next = NextVisibleColumn(PositionAtX(m_horzPos));
        if (next < count)
            SetHorzPos(std::min(GetLeftEdge(next), m_horzPos + limit));
        break;
    }
    case SB_PAGELEFT:
        SetHorzPos(m_horzPos - limit);
        break;
    case SB_PAGERIGHT:
        SetHorzPos(m_horzPos + limit);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        SetHorzPos(pos);
        break;
    default:
        break;
    }
}

bool CTableCtrl::OnMouseWheel(unsigned, int delta, Point) {
    const int lines = GetPlatform().GetWheelScrollLines();
    if (lines < 0) {
        ScrollVert(delta >= 1 ? SB_PAGEUP : SB_PAGEDOWN, 0);
    } else {
        SetVertPos(m_vertPos - (delta / 120) * m_rowHeight * std::max(lines, 1));
    }
    Redraw(true);
    return true;
}

} // namespace Tavex
