// The favourites dialog: the list of "favorites.dat" as an editable table with "New" and
// "Delete"; "OK" cleans and checks every row and saves the list, "Cancel" leaves the file alone.
// Its table layout and size are remembered from one opening to the next.
#pragma once

#include "app/core/FavoritesFile.h"
#include "dlgutil/DialogLayout.h"
#include "net/RegistryKey.h"
#include "platform/Dialog.h"
#include "table/ColDef.h"
#include "table/TableCtrl.h"

#include <string>
#include <vector>

class CFavoritesDialog : public Platform::CDialog {
public:
    // owner: the window the dialog is centred on when it takes a stored size.
    explicit CFavoritesDialog(Platform::CWnd* owner, std::string path = "favorites.dat");

    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnCommand(unsigned id, unsigned code, Platform::CWnd* from) override;
    void OnSize(int width, int height) override;

    // "New": a row for the user to edit, made current.
    void AddNewFavorite();
    // "Delete": the current row, without asking.
    void DeleteCurrentFavorite();

    Tavex::CTableCtrl& Table() { return m_table; }

private:
    void LoadRows();
    void ApplyStoredRect();
    void StoreLayoutAndRect();

    Platform::CWnd* m_owner;
    std::string m_path;
    CRegistryKey m_key;
    Tavex::CStringCol m_stringCol;
    Tavex::CTableCtrl m_table;
    Dorlu_DlgUtil::CDialogLayout m_layout;
    bool m_layoutReady = false;
    int m_templateWidth = 0;
    // Why an existing list could not be read; saving the empty table over it would lose it.
    int m_readError = 0;
    // The rows as read, to tell another window's additions from this dialog's deletions.
    std::vector<CFavorite> m_loaded;
};
