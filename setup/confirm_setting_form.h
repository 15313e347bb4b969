// The small dialog for the look before a message leaves: when to confirm, what to warn of,
// and how strictly an address counts as inside.
#pragma once
#include <windows.h>

#include "settings/setting_values.h"
#include "setup/key_controls.h"
#include "ui/dialog.h"

class LocalSetting;

// The dialog's controls and their keys; the setup dialog's OK puts them in force.
SKeyControlTable ConfirmControls();

class SConfirmSettingForm : public SDialog {
  public:
    SConfirmSettingForm(HINSTANCE moduleInstance, HWND parent, const SSettingValues& values);
    int OnInitDialog(HWND window) override;
    int OnCommand(HWND window, int id, int notifyCode, HWND controlWindow) override;
    ~SConfirmSettingForm() override;

    // What the dialog showed, or what the user set once it ended with OK; the setup dialog
    // keeps them until its own OK.
    SSettingValues values;
    // The policy's limits; null shows every control free.
    const LocalSetting* limits = nullptr;
};
