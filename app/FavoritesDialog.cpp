#include "app/FavoritesDialog.h"

#include "app/WindowServices.h"
#include "app/core/FavoritesFile.h"
#include "app/core/FavoritesTable.h"
#include "app/core/Settings.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "table/Cells.h"
#include "table/Row.h"

#include <vector>

using namespace Platform;

namespace {

void SetRow(Tavex::CTableCtrl& table, int row, const CFavorite& favorite) {
    Tavex::CRow* cells = table.GetRow(row);
    cells->GetCell(FavoritesColumn::kName)->SetString(favorite.m_name);
    cells->GetCell(FavoritesColumn::kIp)->SetString(favorite.m_address);
    cells->GetCell(FavoritesColumn::kPassword)->SetString(favorite.m_password);
}

std::vector<CFavorite> RowsOf(Tavex::CTableCtrl& table) {
    std::vector<CFavorite> rows;
    for (int row = 0; row < table.GetRowCount(); ++row)
        rows.push_back({table.GetCellText(row, FavoritesColumn::kIp),
                        table.GetCellText(row, FavoritesColumn::kName),
                        table.GetCellText(row, FavoritesColumn::kPassword)});
    return rows;
}

} // namespace

CFavoritesDialog::CFavoritesDialog(CWnd* owner, std::string path)
    : CDialog(Res::FavoritesDialogTemplate()), m_owner(owner), m_path(std::move(path)) {}

bool CFavoritesDialog::OnInitDialog() {
    AppWindow::SetAppIcon(*this);
    m_templateWidth = GetWindowRect().Width();
    const Rect client = GetClientRect();
    AppWindow::SetMinimumSize(*this, {client.Width(), client.Height()});

    m_table.ReplaceDlgItem(Res::IDC_FAVORITES_TABLE, *this);
    const CDesignScale scale{GetBaseUnits()};
    m_table.SetDesignScale(scale);
    m_table.SetColumnCount(static_cast<int>(kFavoritesColumns.size()));
    for (std::size_t i = 0; i < kFavoritesColumns.size(); ++i)
        m_table.SetColumn(static_cast<int>(i), &m_stringCol, kFavoritesColumns[i].m_title,
                          scale.X(kFavoritesColumns[i].m_width));
    m_table.Build();
    m_table.SetColumnsEditable(true);

    m_layout.Init(*this);
    m_layout.AddWindow(&m_table, 0x1010);
    m_layout.AddItem(Res::IDC_NEW_FAVORITE, 0x1100);
    m_layout.AddItem(Res::IDC_DELETE_FAVORITE, 0x1100);
    m_layout.AddItem(IDOK, 0x1111);
    m_layout.AddItem(IDCANCEL, 0x1111);
    m_layoutReady = true;

    LoadRows();
    m_table.Redraw(false);

    OpenSettingsKey(m_key);
    Tavex::CWordArray words;
    m_table.SaveLayout(words);
    ReadTableLayout(m_key, kFavoritesLayoutValue, words);
    m_table.RestoreLayout(words);
    m_table.Redraw(false);
    ApplyStoredRect();
    if (m_readError != 0)
        GetPlatform().MessageBox(this, FavoritesReadError(m_path, m_readError), GetWindowText(),
                                 MB_OK | MB_ICONSTOP);
    return true;
}

void CFavoritesDialog::LoadRows() {
    // The file lists the table bottom-up.
    m_loaded = LoadFavoriteRows(m_path, &m_readError);
    for (const CFavorite& favorite : m_loaded) {
        m_table.AddRow();
        SetRow(m_table, m_table.GetRowCount() - 1, favorite);
    }
}

void CFavoritesDialog::ApplyStoredRect() {
    const std::optional<CWindowRect> stored = ReadWindowRect(m_key, kLastPosFavoritesValue);
    if (!stored || !IsFavoritesRectApplied(*stored, m_templateWidth))
        return;
    // Only the size is taken; the dialog stays centred on its owner.
    const int width = stored->m_right - stored->m_left;
    const int height = stored->m_bottom - stored->m_top;
    const Rect area = m_owner && m_owner->IsWindow() ? m_owner->GetWindowRect() : GetWindowRect();
    const int left = area.left + (area.Width() - width) / 2;
    const int top = area.top + (area.Height() - height) / 2;
    MoveWindow({left, top, left + width, top + height});
}

void CFavoritesDialog::OnCommand(unsigned id, unsigned code, CWnd* from) {
    if (code == BN_CLICKED && id == Res::IDC_NEW_FAVORITE) {
        AddNewFavorite();
        return;
    }
    if (code == BN_CLICKED && id == Res::IDC_DELETE_FAVORITE) {
        DeleteCurrentFavorite();
        return;
    }
    CDialog::OnCommand(id, code, from);
}

void CFavoritesDialog::AddNewFavorite() {
    m_table.AddRow();
    const int row = m_table.GetRowCount() - 1;
    SetRow(m_table, row, {kNewFavoriteAddress, kNewFavoriteName, ""});
    m_table.SetCurrentRow(row);
    m_table.Redraw(false);
}

void CFavoritesDialog::DeleteCurrentFavorite() {
    m_table.GetEditController().EndEdit(true);
    const int row = m_table.GetCurrentRow();
    if (!m_table.IsValidRow(row))
        return;
    m_table.DeleteRow(row);
    m_table.Redraw(false);
}

void CFavoritesDialog::OnOK() {
    m_table.GetEditController().EndEdit(false);
    if (m_readError != 0) {
        GetPlatform().MessageBox(this, FavoritesReadError(m_path, m_readError), GetWindowText(),
                                 MB_OK | MB_ICONSTOP);
        return;
    }
    std::vector<CFavorite> rows = RowsOf(m_table);
    const int invalid = CleanFavoriteRows(rows);
    // Rows cleaned before a bad address keep their cleaned values.
    for (int row = 0; row < static_cast<int>(rows.size()); ++row)
        SetRow(m_table, row, rows[static_cast<std::size_t>(row)]);
    if (invalid >= 0) {
        m_table.SetCurrentRow(invalid);
        m_table.GetCurrentCell().Set(invalid, FavoritesColumn::kIp);
        m_table.GetEditController().BeginEdit(false);
        m_table.Redraw(false);
        GetPlatform().MessageBox(this, kInvalidAddressText, GetWindowText(), MB_OK | MB_ICONSTOP);
        return;
    }
    // Another window may have added favourites since this one read the file.
    int readError = 0;
    const std::vector<CFavorite> current = LoadFavoriteRows(m_path, &readError);
    if (readError != 0) {
        m_table.Redraw(false);
        GetPlatform().MessageBox(this, FavoritesReadError(m_path, readError), GetWindowText(),
                                 MB_OK | MB_ICONSTOP);
        return;
    }
    rows = MergeFavoriteRows(rows, m_loaded, current);
    if (const int error = SaveFavoriteRows(m_path, rows); error != 0) {
        m_table.Redraw(false);
        GetPlatform().MessageBox(this, FavoritesFileError(m_path, error), GetWindowText(),
                                 MB_OK | MB_ICONSTOP);
        return;
    }
    StoreLayoutAndRect();
    CDialog::OnOK();
}

void CFavoritesDialog::OnCancel() {
    m_table.GetEditController().EndEdit(true);
    StoreLayoutAndRect();
    CDialog::OnCancel();
}

void CFavoritesDialog::StoreLayoutAndRect() {
    Tavex::CWordArray words;
    m_table.SaveLayout(words);
    WriteTableLayout(m_key, kFavoritesLayoutValue, words);
    const Rect r = GetWindowRect();
    WriteWindowRect(m_key, kLastPosFavoritesValue,
                    CWindowRect{r.left, r.top, r.right, r.bottom}.Normalized());
}

void CFavoritesDialog::OnSize(int width, int height) {
    CDialog::OnSize(width, height);
    if (m_layoutReady)
        m_layout.Apply();
}
