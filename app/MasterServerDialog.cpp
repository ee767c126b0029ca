#include "app/MasterServerDialog.h"

#include "app/WindowServices.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"

CMasterServerDialog::CMasterServerDialog() : CDialog(Res::MasterServerDialogTemplate()) {}

bool CMasterServerDialog::OnInitDialog() {
    AppWindow::SetAppIcon(*this);
    SetDlgItemText(Res::IDC_MASTER_ADDRESS, m_address);
    SetDlgItemText(Res::IDC_MORE_MASTERS, m_moreMasters);
    return true;
}

void CMasterServerDialog::OnOK() {
    m_address = GetDlgItemText(Res::IDC_MASTER_ADDRESS);
    m_moreMasters = GetDlgItemText(Res::IDC_MORE_MASTERS);
    CDialog::OnOK();
}
