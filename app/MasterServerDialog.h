// The master-server dialog: one edit field with the master server's address text.
#pragma once

#include "platform/Dialog.h"

#include <string>

class CMasterServerDialog : public Platform::CDialog {
public:
    CMasterServerDialog();

    // Shown in the field when the dialog opens; the field's text after "OK".
    std::string m_address;

    bool OnInitDialog() override;
    void OnOK() override;
};
