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

// The policy's sources, strongest first: each may only tighten what a stronger one set.
const size_t kPolicySourceCount = 3;
const EValueSource kPolicySources[kPolicySourceCount] = {
    EValueSource::PolicyMachine, EValueSource::PolicyUser, EValueSource::PolicyFile};

struct SPolicyValue {
    bool set = false;
    // False for a value of the wrong type, out of range or without digits.
    bool readable = true;
    std::string text; // a number as decimal text
    EValueSource source = EValueSource::Default;
};

struct SPolicy {
    // What each source says, in the order of kPolicySources.
    SPolicyValue layers[kPolicySourceCount][kKeyCount];
    // Set when the policy file is there but could not be read: why. Every key
    // with a one-way rule then takes the value that guards most.
    std::string refusedFile;
    std::string filePath; // where the policy file is looked for

    bool Any() const;
    // The strongest source's value of the key; an unset value when no source has it.
    const SPolicyValue& operator[](EKeyId id) const;
    // Into the layer of value.source.
    void Set(EKeyId id, const SPolicyValue& value);
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
    std::string unreadableText; // the first policy value that could not be used
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
// The line before them when the policy file is there but could not be read.
std::string RefusedPolicyFileLogText(const std::string& why, const std::string& path);

// One line per key whose value differs between two snapshots of ValueTexts.
std::vector<std::string> ChangeLogLines(const std::vector<std::string>& before,
                                        const std::vector<std::string>& after);

// Comma lists: the entries of extra not already in base, appended.
std::string UnionOfLists(const std::string& base, const std::string& extra);
// Lists of "domain=name": the entries of extra whose domain base does not name, appended; an
// entry that names no domain is dropped.
std::string UnionOfNames(const std::string& base, const std::string& extra);
