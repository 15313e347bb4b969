#include "setup/key_controls.h"

#include <cstdio>

#include "settings/local_setting.h"
#include "setup/policy_refusal.h"
#include "settings/setting_values.h"
#include "support/int_parse.h"
#include "ui/dialog.h"

namespace {

// The first row of a radio group, whose button stands for a value none of the buttons has.
bool StartsGroup(SKeyControlTable table, size_t i) {
    return i == 0 || table.rows[i - 1].key != table.rows[i].key ||
           table.rows[i - 1].kind != EKeyControl::Radio;
}

bool HasRadioFor(SKeyControlTable table, EKeyId key, int32_t value) {
    for (size_t i = 0; i < table.count; ++i) {
        const SKeyControl& row = table.rows[i];
        if (row.key == key && row.kind == EKeyControl::Radio && row.value == value)
            return true;
    }
    return false;
}

// Puts the focus back into the field, as a typo in it is fixed there.
void FocusField(SDialog* form, int id) {
    SendMessageA(form->window, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(form->window, id)), TRUE);
}

// False for a field that is empty, negative or no number: a typo must not switch a guard off.
bool ReadNumberField(SDialog* form, int id, int32_t* number) {
    char text[MAX_PATH] = "";
    GetDlgItemTextA(form->window, id, text, sizeof text);
    text[sizeof text - 1] = '\0';
    return ParseEnteredMinutes(text, number);
}

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

} // namespace

void ShowKeyValues(SDialog* form, SKeyControlTable table, const SSettingValues& values,
                   const LocalSetting* limits) {
    for (size_t i = 0; i < table.count; ++i) {
        const SKeyControl& row = table.rows[i];
        const int32_t value = values.Int(row.key);
        switch (row.kind) {
        case EKeyControl::Check:
            form->CheckButton(row.id, value != 0);
            break;
        case EKeyControl::Radio:
            form->CheckButton(row.id, row.value == value || (StartsGroup(table, i) &&
                                                             !HasRadioFor(table, row.key, value)));
            break;
        case EKeyControl::Number: {
            char number[16];
            std::snprintf(number, sizeof number, "%d", static_cast<int>(value));
            SetDlgItemTextA(form->window, row.id, number);
            break;
        }
        case EKeyControl::Own:
            break;
        }
        if (limits != nullptr && limits->Merged(row.key).fixed)
            form->EnableItem(row.id, false);
    }
}

bool ReadKeyValues(SDialog* form, SKeyControlTable table, const LocalSetting* limits,
                   SSettingValues* values) {
    SSettingValues read(*values);
    for (size_t i = 0; i < table.count; ++i) {
        const SKeyControl& row = table.rows[i];
        int32_t number = 0;
        switch (row.kind) {
        case EKeyControl::Check:
            read.Set(row.key, form->IsButtonChecked(row.id) ? 1 : 0);
            break;
        case EKeyControl::Radio:
            if (StartsGroup(table, i) || form->IsButtonChecked(row.id))
                read.Set(row.key, row.value);
            break;
        case EKeyControl::Number:
            if (!ReadNumberField(form, row.id, &number)) {
                MessageBoxA(form->window, row.refusal, row.refusalCaption, MB_ICONWARNING);
                FocusField(form, row.id);
                return false;
            }
            read.Set(row.key, number);
            break;
        case EKeyControl::Own:
            break;
        }
    }
    // Only once every field holds a number: a typo is told before the policy's limits.
    for (size_t i = 0; i < table.count; ++i) {
        const SKeyControl& row = table.rows[i];
        if (row.kind == EKeyControl::Own ||
            (row.kind == EKeyControl::Radio && !StartsGroup(table, i)))
            continue;
        if (!AcceptedByPolicy(form->window, limits, row.key, read.Int(row.key))) {
            if (row.kind == EKeyControl::Number)
                FocusField(form, row.id);
            return false;
        }
    }
    *values = read;
    return true;
}

void StoreKeyValues(SKeyControlTable table, const SSettingValues& values, LocalSetting* settings) {
    for (size_t i = 0; i < table.count; ++i)
        settings->Set(table.rows[i].key, values);
}
