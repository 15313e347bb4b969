#include "setup/confirm_setting_form.h"

#include <cstdio>

#include "res/resource.h"
#include "settings/local_setting.h"
#include "setup/policy_refusal.h"
#include "support/int_parse.h"

namespace {

// By the value of Confirm; the dialog lists them from the lightest check to the heaviest.
const int kModeButtons[] = {IDC_CONFIRM_OFF, IDC_CONFIRM_OUTSIDE, IDC_CONFIRM_ALWAYS,
                            IDC_CONFIRM_ATTENTION};
const int kModeCount = 4;

void SetCheck(HWND window, int id, bool checked) {
    CheckDlgButton(window, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool IsChecked(HWND window, int id) {
    return IsDlgButtonChecked(window, id) == BST_CHECKED;
}

} // namespace

bool AcceptedByPolicy(HWND owner, const LocalSetting* settings, EKeyId id, int32_t value) {
    if (settings == nullptr)
        return true;
    const SMergedValue& merged = settings->Merged(id);
    const SSettingKey& key = KeyOf(id);
    if (!merged.bounded || AllowedFrom(key, merged.bound, value))
        return true;
    MessageBoxA(owner, PolicyRefusalText(id, merged.bound).c_str(), "管理者の設定",
                MB_OK | MB_ICONINFORMATION);
    return false;
}

void GreyIfFixed(HWND window, int controlId, const LocalSetting* settings, EKeyId id) {
    if (settings != nullptr && settings->Merged(id).fixed)
        EnableWindow(GetDlgItem(window, controlId), FALSE);
}

SConfirmValues ConfirmValuesOf(const LocalSetting& settings) {
    return SConfirmValues{settings.confirmMode, settings.confirmInsideEach, settings.bccWarnCount,
                          settings.newDomainWarn, settings.innerDomainMatch};
}

void StoreConfirmValues(const SConfirmValues& values, LocalSetting* settings) {
    settings->confirmMode = values.confirmMode;
    settings->confirmInsideEach = values.confirmInsideEach;
    settings->bccWarnCount = values.bccWarnCount;
    settings->newDomainWarn = values.newDomainWarn;
    settings->innerDomainMatch = values.innerDomainMatch;
}

SConfirmSettingForm::SConfirmSettingForm(HINSTANCE moduleInstance, HWND parent,
                                         const SConfirmValues& values)
    : SDialog(moduleInstance, parent, IDD_CONFIRM_SETUP, 0), values(values) {}

SConfirmSettingForm::~SConfirmSettingForm() {}

int SConfirmSettingForm::OnInitDialog(HWND window) {
    const int mode =
        values.confirmMode >= 0 && values.confirmMode < kModeCount ? values.confirmMode : 0;
    // The ids are not one range: a range would take the check boxes between them along.
    for (int each = 0; each < kModeCount; ++each)
        SetCheck(window, kModeButtons[each], each == mode);
    SetCheck(window, IDC_CONFIRM_INSIDE_EACH, values.confirmInsideEach);
    SetCheck(window, IDC_NEW_DOMAIN_WARN, values.newDomainWarn);
    SetCheck(window, IDC_INNER_DOMAIN_MATCH, values.innerDomainMatch == 1);
    char number[16];
    std::snprintf(number, sizeof number, "%d", values.bccWarnCount);
    SetDlgItemTextA(window, IDC_BCC_WARN_COUNT, number);
    if (limits != nullptr && limits->PolicyInForce()) {
        ShowWindow(GetDlgItem(window, IDC_CONFIRM_POLICY_NOTE), SW_SHOW);
        for (int button : kModeButtons)
            GreyIfFixed(window, button, limits, EKeyId::Confirm);
        GreyIfFixed(window, IDC_CONFIRM_INSIDE_EACH, limits, EKeyId::ConfirmInsideEach);
        GreyIfFixed(window, IDC_NEW_DOMAIN_WARN, limits, EKeyId::NewDomainWarn);
        GreyIfFixed(window, IDC_INNER_DOMAIN_MATCH, limits, EKeyId::InnerDomainMatch);
        GreyIfFixed(window, IDC_BCC_WARN_COUNT, limits, EKeyId::BccWarnCount);
    }
    return 0;
}

// False, with the reason told, when a value may not be taken; the dialog then stays open.
bool SConfirmSettingForm::ReadValues(HWND window) {
    SConfirmValues read = values;
    read.confirmMode = 0;
    for (int mode = 0; mode < kModeCount; ++mode) {
        if (IsChecked(window, kModeButtons[mode]))
            read.confirmMode = mode;
    }
    read.confirmInsideEach = IsChecked(window, IDC_CONFIRM_INSIDE_EACH);
    read.newDomainWarn = IsChecked(window, IDC_NEW_DOMAIN_WARN);
    read.innerDomainMatch = IsChecked(window, IDC_INNER_DOMAIN_MATCH) ? 1 : 0;
    char text[32] = "";
    GetDlgItemTextA(window, IDC_BCC_WARN_COUNT, text, sizeof text);
    text[sizeof text - 1] = '\0';
    // An empty field is a slip, not a wish to switch the warning off.
    int32_t count = 0;
    if (!ParseEnteredMinutes(text, &count)) {
        MessageBoxA(window,
                    "警告する件数には 0 以上の数字を入力してください。\n"
                    "0 を入力すると警告しません。",
                    "件数の入力", MB_ICONWARNING);
        SendMessageA(window, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_BCC_WARN_COUNT)), TRUE);
        return false;
    }
    read.bccWarnCount = count;
    if (!AcceptedByPolicy(window, limits, EKeyId::Confirm, read.confirmMode) ||
        !AcceptedByPolicy(window, limits, EKeyId::ConfirmInsideEach, read.confirmInsideEach) ||
        !AcceptedByPolicy(window, limits, EKeyId::NewDomainWarn, read.newDomainWarn) ||
        !AcceptedByPolicy(window, limits, EKeyId::InnerDomainMatch, read.innerDomainMatch) ||
        !AcceptedByPolicy(window, limits, EKeyId::BccWarnCount, read.bccWarnCount))
        return false;
    values = read;
    return true;
}

int SConfirmSettingForm::OnCommand(HWND window, int id, int, HWND) {
    switch (id) {
    case IDOK:
        if (!ReadValues(window))
            return 0;
        EndDialog(window, IDOK);
        return 1;
    case IDCANCEL:
        EndDialog(window, IDCANCEL);
        return 1;
    default:
        return 0;
    }
}
