#include "app/ServerInfoDialog.h"

#include "app/WindowServices.h"
#include "app/core/ServerInfoColumns.h"
#include "query/ServerRecord.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "table/Cells.h"
#include "table/Row.h"
#include "table/SortKeys.h"

CServerInfoDialog::CServerInfoDialog(const CServerRecord& record)
    : CDialog(Res::ServerInfoDialogTemplate()), m_record(record) {}

bool CServerInfoDialog::OnInitDialog() {
    AppWindow::SetAppIcon(*this);
    m_table.ReplaceDlgItem(Res::IDC_VARIABLES, *this);
    m_table.SetDesignScale(Platform::CDesignScale{GetBaseUnits()});
    m_table.SetColumnCount(0);
    m_table.AddColumn(&m_stringCol, "Variable", 0);
    m_table.AddColumn(&m_stringCol, "Value", 0);
    m_table.Build();

    m_layout.Init(*this);
    m_layout.AddWindow(&m_table, 0x1010);
    m_layout.AddItem(Platform::IDCANCEL, 0x1111);
    m_layoutReady = true;

    SetWindowText(m_record.m_name);
    for (const CServerVariable& variable : m_record.m_variables) {
        Tavex::CRow* row = m_table.AddRow();
        row->GetCell(0)->SetString(variable.key);
        row->GetCell(1)->SetString(variable.value);
    }
    m_table.Sort(Tavex::CSortKeys{0, Tavex::CSortKeys::kAscending});
    m_table.AutoSizeColumns(false);
    const int page = m_table.GetClientRect().Width();
    for (int column = 0; column < 2; ++column)
        m_table.SetColumnWidth(column, CapInfoColumnWidth(m_table.GetColumnWidth(column), page));
    m_table.FitColumnsToWidth();
    m_table.Redraw(true);
    return true;
}

void CServerInfoDialog::OnSize(int width, int height) {
    CDialog::OnSize(width, height);
    if (m_layoutReady)
        m_layout.Apply();
}
