// The settings in force as one text an administrator or support can read and copy: for every
// key the value, its source and what the user may still change. Win32-free.
#pragma once

#include <string>

#include "settings/setting_merge.h"

struct SReportHeader {
    std::string version;
    std::string settingsPath;
    std::string policyPath;
    std::string policyRefused; // why the policy file could not be read; empty when it could
};

// What the user may still do with one key, in words.
std::string ChangeRangeText(const SSettingKey& key, const SMergedValue& merged);
// Lines end in CR LF; the columns of the table are parted by tabs.
std::string SettingsReportText(const SReportHeader& header, const SMergedValue merged[kKeyCount]);
