// The master-server dialog: the first master's address text, and the other masters' texts
// separated by blanks.
#pragma once

#include "platform/Dialog.h"

#include <string>

class CMasterServerDialog : public Platform::CDialog {
public:
    CMasterServerDialog();

    // Shown in the field when the dialog opens; the field's text after "OK".
    std::string m_address;
    std::string m_moreMasters;

    bool OnInitDialog() override;
    void OnOK() override;
};
