// The setup dialog: inner domains and the two hold times.
#pragma once
#include <windows.h>

#include "setup/confirm_setting_form.h"
#include "ui/dialog.h"

class LocalSetting;
class SListBox;
class SEdit;

class BaseSettingForm : public SDialog {
  public:
    BaseSettingForm(HINSTANCE moduleInstance, HWND parent, UINT templateId);
    ~BaseSettingForm() override;
    // Copies the dialog's fields into the settings record.
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
    SEdit* innerTimeEdit;
    SEdit* outerTimeEdit;
    // Set by the confirmation's own dialog, stored with this dialog's OK.
    SConfirmValues confirmValues;

  private:
    void ShowVersionCaption();
    void ShowCaptionIcon(HWND window);
    void AddDomain(HWND window);
    void EditDomain(HWND window);
    void DeleteDomain(HWND window);
    void EditConfirmValues(HWND window);
    bool IsPolicyDomain(HWND window, const char* domain);
    bool DelayFieldAccepted(HWND window, int id, EKeyId key);
};
