// The options dialog: "Close after joining", the shown-only background requery option and the
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
