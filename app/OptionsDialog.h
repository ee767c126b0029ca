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
    void OnCommand(unsigned id, unsigned code, Platform::CWnd* from) override;

private:
    // The three start-up choices behave as one group of radio buttons.
    void CheckStartupChoice(unsigned id);

    CRegistryKey& m_key;
};
