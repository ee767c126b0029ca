#include "app/ServerPasswordDialog.h"

#include "app/WindowServices.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"

CServerPasswordDialog::CServerPasswordDialog() : CDialog(Res::ServerPasswordDialogTemplate()) {}

bool CServerPasswordDialog::OnInitDialog() {
    AppWindow::SetAppIcon(*this);
    // The field first, so typing goes into it at once.
    GetPlatform().SetFocus(GetDlgItem(Res::IDC_SERVER_PASSWORD));
    return false;
}

void CServerPasswordDialog::OnOK() {
    m_password = GetDlgItemText(Res::IDC_SERVER_PASSWORD);
    CDialog::OnOK();
}
