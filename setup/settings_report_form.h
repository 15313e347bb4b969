// The settings in force, read-only and copyable: what an administrator checks before rollout
// and what support asks a user for.
#pragma once
#include <windows.h>

#include <string>

#include "ui/dialog.h"

class LocalSetting;

class SSettingsReportForm : public SDialog {
  public:
    SSettingsReportForm(HINSTANCE moduleInstance, HWND parent, const std::string& text);
    int OnInitDialog(HWND window) override;
    int OnCommand(HWND window, int id, int notifyCode, HWND controlWindow) override;

  private:
    std::string text;
};

// The report of the settings as read, with the module's version.
std::string SettingsReportOf(HINSTANCE moduleInstance, const LocalSetting& settings);
void ShowSettingsReport(HINSTANCE moduleInstance, HWND owner, const LocalSetting& settings);
