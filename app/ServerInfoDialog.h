// Every variable one server reported, as a two-column table sorted by name; resizable, and
// nothing of it is remembered.
#pragma once

#include "dlgutil/DialogLayout.h"
#include "platform/Dialog.h"
#include "table/ColDef.h"
#include "table/TableCtrl.h"

class CServerRecord;

class CServerInfoDialog : public Platform::CDialog {
public:
    // The record is only read, and must outlive the dialog.
    explicit CServerInfoDialog(const CServerRecord& record);

    bool OnInitDialog() override;
    void OnSize(int width, int height) override;

    Tavex::CTableCtrl& Table() { return m_table; }

private:
    const CServerRecord& m_record;
    Tavex::CStringCol m_stringCol;
    Tavex::CTableCtrl m_table;
    Dorlu_DlgUtil::CDialogLayout m_layout;
    bool m_layoutReady = false;
};
