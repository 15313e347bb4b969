// The small dialog for the look before a message leaves: when to confirm, what to warn of,
// and how strictly an address counts as inside.
#pragma once
#include <windows.h>

#include "ui/dialog.h"

class LocalSetting;

// The values the dialog edits; the setup dialog keeps them until its own OK.
struct SConfirmValues {
    int confirmMode;
    bool confirmInsideEach;
    int bccWarnCount;
    bool newDomainWarn;
    int innerDomainMatch;
};

SConfirmValues ConfirmValuesOf(const LocalSetting& settings);
void StoreConfirmValues(const SConfirmValues& values, LocalSetting* settings);

class SConfirmSettingForm : public SDialog {
  public:
    SConfirmSettingForm(HINSTANCE moduleInstance, HWND parent, const SConfirmValues& values);
    int OnInitDialog(HWND window) override;
    int OnCommand(HWND window, int id, int notifyCode, HWND controlWindow) override;
    ~SConfirmSettingForm() override;

    // What the dialog showed, or what the user set once it ended with OK.
    SConfirmValues values;

  private:
    void ReadValues(HWND window);
};
