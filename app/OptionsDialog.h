// The options dialog: "Close after joining", the background requery and its interval, and the
// start-up query, written to the settings at once on "OK".
#pragma once

#include "platform/Dialog.h"

class CRegistryKey;

class COptionsDialog : public Platform::CDialog {
public:
    explicit COptionsDialog(CRegistryKey& key);

    bool OnInitDialog() override;
    void OnOK() override;

private:
    CRegistryKey& m_key;
};
