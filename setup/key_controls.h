// Dialog controls tied to setting keys, one row per control: from the rows a form shows the
// values, greys what a policy leaves nobody to choose, reads the values back with the policy's
// refusals, and puts them in force.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "settings/setting_keys.h"

class LocalSetting;
class SDialog;
class SSettingValues;

enum class EKeyControl {
    Check,  // ticked for 1
    Radio,  // ticked when the key holds the row's value; a key's buttons are adjacent rows
    Number, // an edit field for a number of 0 or more
    Own     // shown and read by the form itself (the domain list and its buttons)
};

struct SKeyControl {
    int id;
    EKeyId key;
    EKeyControl kind;
    int32_t value;              // Radio: the value the button stands for
    const char* refusal;        // Number: the box's text for a field that holds no such number
    const char* refusalCaption; // Number: its caption
};

struct SKeyControlTable {
    const SKeyControl* rows;
    size_t count;
};

template <size_t N> SKeyControlTable KeyControls(const SKeyControl (&rows)[N]) {
    return SKeyControlTable{rows, N};
}

// Shows the values; with limits, greys each control whose key the policy leaves nobody to
// choose.
void ShowKeyValues(SDialog* form, SKeyControlTable table, const SSettingValues& values,
                   const LocalSetting* limits);
// Reads the controls into values. False, after a box over the form that says why, when a field
// holds no number of 0 or more or the policy does not let a key move to what was chosen (the
// first such row); values are then untouched. limits may be null: no policy.
bool ReadKeyValues(SDialog* form, SKeyControlTable table, const LocalSetting* limits,
                   SSettingValues* values);
// Puts the table's keys in force from values; the settings' next save writes them.
void StoreKeyValues(SKeyControlTable table, const SSettingValues& values, LocalSetting* settings);
