// The setup dialog: inner domains and the two hold times.
#pragma once
#include <windows.h>

#include "settings/setting_values.h"
#include "ui/dialog.h"

class LocalSetting;
class SListBox;

class BaseSettingForm : public SDialog {
  public:
    BaseSettingForm(HINSTANCE moduleInstance, HWND parent, UINT templateId);
    ~BaseSettingForm() override;
    // Puts the dialog's values in force in the settings record.
    virtual void StoreValues(HWND window) = 0;
    void OnHostEnded() override { settings = nullptr; }

    // Null once the plug-in has ended while the dialog was open.
    LocalSetting* settings;
    // The caption icon is SDialog's smallIcon, destroyed with the dialog.
};

class LocalSettingForm : public BaseSettingForm {
  public:
    LocalSettingForm(HINSTANCE moduleInstance, HWND parent);
    int OnInitDialog(HWND window) override;
    int OnCommand(HWND window, int id, int notifyCode, HWND controlWindow) override;
    ~LocalSettingForm() override;
    void StoreValues(HWND window) override;

    SListBox* domainList;
    // What the dialogs show and set, by key: the confirmation's own dialog sets its keys here,
    // stored with this dialog's OK.
    SSettingValues values;

  private:
    void ShowVersionCaption();
    void ShowCaptionIcon(HWND window);
    void AddDomain(HWND window);
    void EditDomain(HWND window);
    void DeleteDomain(HWND window);
    void EditConfirmValues(HWND window);
    bool IsPolicyDomain(HWND window, const char* domain);
};
