// The small dialog that asks for the password of a locked server before joining it: Enter is
// "OK", Escape cancels the join.
#pragma once

#include "platform/Dialog.h"

#include <string>

class CServerPasswordDialog : public Platform::CDialog {
public:
    CServerPasswordDialog();

    // The field's text after "OK".
    std::string m_password;

    bool OnInitDialog() override;
    void OnOK() override;
};
