// The settings in force: the user's file, the administrator's policy and the defaults, merged
// key by key under the key table's rules. Win32-free: the caller reads the file, the registry
// and the environment.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "settings/setting_keys.h"

// Strongest last: a machine policy overrides a user policy, which overrides the policy file.
enum class EValueSource { Default, UserFile, PolicyFile, PolicyUser, PolicyMachine };
const char* SourceName(EValueSource source);

struct SPolicyValue {
    bool set = false;
    // False for a value of the wrong type, out of range or without digits.
    bool readable = true;
    std::string text; // a number as decimal text
    EValueSource source = EValueSource::Default;
};

struct SPolicy {
    SPolicyValue values[kKeyCount];
    // Set when the policy file could not be read as text: every key then counts as an
    // unreadable policy value.
    std::string refusedFile;
    bool Any() const;
    const SPolicyValue& operator[](EKeyId id) const { return values[static_cast<size_t>(id)]; }
    SPolicyValue& operator[](EKeyId id) { return values[static_cast<size_t>(id)]; }
};

struct SUserValue {
    bool present = false;
    std::string text;
};

struct SMergedValue {
    EValueSource source = EValueSource::Default;
    std::string text; // Text and List keys
    int32_t number = 0;
    // The user's value had no digits and reads as the key's safe value.
    bool userUnreadable = false;
    // The user's file has a value that the policy replaced.
    bool userOverridden = false;
    bool policyUnreadable = false;
    // A policy limits this key: the user may move only away from bound, by the key's rule.
    bool bounded = false;
    int32_t bound = 0;
    // Nothing is left for the user to choose: the dialogs show it greyed.
    bool fixed = false;
};

using SEnvLookup = std::function<bool(const std::string& name, std::string* value)>;

// %NAME% replaced by the variable's value; an unknown name, or a lone %, stays as written.
std::string ExpandEnvironment(const std::string& text, const SEnvLookup& lookup);

// The user's own reading of one key: the safe value for a number without digits, the default
// for one out of range or a missing key.
SMergedValue ReadUserValue(const SSettingKey& key, const SUserValue& user);

void MergeSettings(const SUserValue user[kKeyCount], const SPolicy& policy,
                   const SEnvLookup& lookup, SMergedValue merged[kKeyCount]);

// The lines the start writes when logging is on: where every value came from, every user
// value the policy overrode, and every value that could not be read.
std::vector<std::string> MergeLogLines(const SUserValue user[kKeyCount], const SPolicy& policy,
                                       const SMergedValue merged[kKeyCount]);

// Whether a value the user chose in a dialog goes into the user's file: never one the policy
// overrides, so the file keeps the user's own choice for when the policy goes.
bool UserMayStore(const SSettingKey& key, const SMergedValue& merged, int32_t value);

// The line before them when the user's file could not be read as text.
std::string UnreadableFileLogText(const std::string& why, const std::string& path);

// One line per key whose value differs between two snapshots of ValueTexts.
std::vector<std::string> ChangeLogLines(const std::vector<std::string>& before,
                                        const std::vector<std::string>& after);

// Comma lists: the entries of extra not already in base, appended.
std::string UnionOfLists(const std::string& base, const std::string& extra);
