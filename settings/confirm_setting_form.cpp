#include "settings/confirm_setting_form.h"

#include <cstdio>

#include "res/resource.h"
#include "settings/local_setting.h"
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
    return 0;
}

void SConfirmSettingForm::ReadValues(HWND window) {
    values.confirmMode = 0;
    for (int mode = 0; mode < kModeCount; ++mode) {
        if (IsChecked(window, kModeButtons[mode]))
            values.confirmMode = mode;
    }
    values.confirmInsideEach = IsChecked(window, IDC_CONFIRM_INSIDE_EACH);
    values.newDomainWarn = IsChecked(window, IDC_NEW_DOMAIN_WARN);
    values.innerDomainMatch = IsChecked(window, IDC_INNER_DOMAIN_MATCH) ? 1 : 0;
    char text[32] = "";
    GetDlgItemTextA(window, IDC_BCC_WARN_COUNT, text, sizeof text);
    text[sizeof text - 1] = '\0';
    // As in the file: a count below 0 means the default, not "off".
    const int count = ParseEnteredInt(text);
    values.bccWarnCount = count >= 0 ? count : kDefaultBccWarnCount;
}

int SConfirmSettingForm::OnCommand(HWND window, int id, int, HWND) {
    switch (id) {
    case IDOK:
        ReadValues(window);
        EndDialog(window, IDOK);
        return 1;
    case IDCANCEL:
        EndDialog(window, IDCANCEL);
        return 1;
    default:
        return 0;
    }
}
