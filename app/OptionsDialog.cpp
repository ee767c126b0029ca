#include "app/OptionsDialog.h"

#include "app/WindowServices.h"
#include "app/core/RequerySchedule.h"
#include "app/core/Settings.h"
#include "app/core/StartupQuery.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"

using namespace Platform;

COptionsDialog::COptionsDialog(CRegistryKey& key)
    : CDialog(Res::OptionsDialogTemplate()), m_key(key) {}

bool COptionsDialog::OnInitDialog() {
    AppWindow::SetAppIcon(*this);
    const COptions options = LoadOptions(m_key);
    CheckDlgButton(Res::IDC_AUTO_CLOSE, options.m_autoClose ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Res::IDC_AUTO_REQUERY, options.m_autoRequery ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemText(Res::IDC_REQUERY_SECONDS, std::to_string(options.m_requerySeconds));
    // An unknown value names no button, so none is checked.
    CheckRadioButton(Res::IDC_STARTUP_NOTHING, Res::IDC_STARTUP_MASTER,
                     static_cast<unsigned>(StartupRadio(options.m_startupQuery)));
    return true;
}

void COptionsDialog::OnOK() {
    COptions options;
    options.m_autoClose = IsDlgButtonChecked(Res::IDC_AUTO_CLOSE) == BST_CHECKED;
    options.m_autoRequery = IsDlgButtonChecked(Res::IDC_AUTO_REQUERY) == BST_CHECKED;
    options.m_requerySeconds =
        RequerySecondsOfText(GetDlgItemText(Res::IDC_REQUERY_SECONDS).c_str());
    options.m_startupQuery =
        StartupQueryOfRadios(IsDlgButtonChecked(Res::IDC_STARTUP_FAVORITES) == BST_CHECKED,
                             IsDlgButtonChecked(Res::IDC_STARTUP_MASTER) == BST_CHECKED);
    SaveOptions(m_key, options);
    CDialog::OnOK();
}
