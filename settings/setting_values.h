// The value of every key, read by the key: what the settings record holds in force, what the
// setup dialogs edit before their OK, and what the confirmation reads. A key's default and its
// type come from the key table alone. Win32-free.
#pragma once

#include <cstdint>
#include <string>

#include "settings/setting_keys.h"
#include "support/string_list.h"

struct SMergedValue;

// A List key's entries in text, appended to list as the values read them.
void AppendEntries(const SSettingKey& key, const char* text, SStringList* list);

class SSettingValues {
  public:
    // Every key at its default.
    SSettingValues();
    SSettingValues(const SSettingValues& other);
    SSettingValues& operator=(const SSettingValues& other);

    int32_t Int(EKeyId id) const { return values_[Index(id)].number; }
    // As written: a Text key, or a List key before it is split; a number as decimal text.
    const std::string& Text(EKeyId id) const { return values_[Index(id)].text; }
    // A List key's entries as SplitList reads them, those of a domain list as the domain entry
    // dialog reads them; empty for any other key.
    const SStringList& List(EKeyId id) const { return values_[Index(id)].list; }
    // As the log shows it and the user's file stores it: a List key's entries joined with
    // commas, anything else as Text.
    std::string JoinedText(EKeyId id) const;

    void Set(EKeyId id, int32_t number);
    // For a Text or a List key; a list is split again.
    void Set(EKeyId id, const std::string& text);
    // Takes one key's value from other.
    void Copy(EKeyId id, const SSettingValues& other);
    // The values a merge put in force.
    void SetMerged(const SMergedValue merged[kKeyCount]);

  private:
    struct SValue {
        int32_t number = 0;
        std::string text;
        SStringList list;
    };
    static size_t Index(EKeyId id) { return static_cast<size_t>(id); }
    void Take(EKeyId id, int32_t number, const std::string& text);

    SValue values_[kKeyCount];
};
