// The small dialog for the look before a message leaves: when to confirm, what to warn of,
// and how strictly an address counts as inside.
#pragma once
#include <windows.h>

#include "settings/setting_keys.h"
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

// False, after a box over owner that says why, when the administrator's policy does not let
// the key move to value. True when settings is null or sets no limit.
bool AcceptedByPolicy(HWND owner, const LocalSetting* settings, EKeyId id, int32_t value);
// Greys a control whose value the policy leaves nobody to choose.
void GreyIfFixed(HWND window, int controlId, const LocalSetting* settings, EKeyId id);

class SConfirmSettingForm : public SDialog {
  public:
    SConfirmSettingForm(HINSTANCE moduleInstance, HWND parent, const SConfirmValues& values);
    int OnInitDialog(HWND window) override;
    int OnCommand(HWND window, int id, int notifyCode, HWND controlWindow) override;
    ~SConfirmSettingForm() override;

    // What the dialog showed, or what the user set once it ended with OK.
    SConfirmValues values;
    // The policy's limits; null shows every control free.
    const LocalSetting* limits = nullptr;

  private:
    bool ReadValues(HWND window);
};
