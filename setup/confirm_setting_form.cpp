#include "setup/confirm_setting_form.h"

#include "res/resource.h"
#include "settings/local_setting.h"

namespace {

// In the order the values are checked against the policy: its refusal names the first. The
// buttons stand for the values of Confirm.
const SKeyControl kConfirmControls[] = {
    {IDC_CONFIRM_OFF, EKeyId::Confirm, EKeyControl::Radio, 0, nullptr, nullptr},
    {IDC_CONFIRM_OUTSIDE, EKeyId::Confirm, EKeyControl::Radio, 1, nullptr, nullptr},
    {IDC_CONFIRM_ALWAYS, EKeyId::Confirm, EKeyControl::Radio, 2, nullptr, nullptr},
    {IDC_CONFIRM_ATTENTION, EKeyId::Confirm, EKeyControl::Radio, 3, nullptr, nullptr},
    {IDC_CONFIRM_INSIDE_EACH, EKeyId::ConfirmInsideEach, EKeyControl::Check, 0, nullptr, nullptr},
    {IDC_NEW_DOMAIN_WARN, EKeyId::NewDomainWarn, EKeyControl::Check, 0, nullptr, nullptr},
    {IDC_INNER_DOMAIN_MATCH, EKeyId::InnerDomainMatch, EKeyControl::Check, 0, nullptr, nullptr},
    // An empty field is a slip, not a wish to switch the warning off.
    {IDC_BCC_WARN_COUNT, EKeyId::BccWarnCount, EKeyControl::Number, 0,
     "警告する件数には 0 以上の数字を入力してください。\n0 を入力すると警告しません。",
     "件数の入力"},
};

} // namespace

SKeyControlTable ConfirmControls() {
    return KeyControls(kConfirmControls);
}

SConfirmSettingForm::SConfirmSettingForm(HINSTANCE moduleInstance, HWND parent,
                                         const SSettingValues& values)
    : SDialog(moduleInstance, parent, IDD_CONFIRM_SETUP, 0), values(values) {}

SConfirmSettingForm::~SConfirmSettingForm() {}

int SConfirmSettingForm::OnInitDialog(HWND) {
    ShowKeyValues(this, ConfirmControls(), values, limits);
    if (limits != nullptr && limits->PolicyInForce())
        ShowItem(IDC_CONFIRM_POLICY_NOTE, true);
    return 0;
}

int SConfirmSettingForm::OnCommand(HWND window, int id, int, HWND) {
    switch (id) {
    case IDOK:
        // The dialog stays open while a value may not be taken.
        if (!ReadKeyValues(this, ConfirmControls(), limits, &values))
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
