#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "settings/setting_merge.h"
#include "settings/setting_values.h"

// The plug-in's settings record, read once at start-up: every key's value in force, read by
// the key.
class LocalSetting : public SIniFile {
  public:
    explicit LocalSetting(const char* path);
    ~LocalSetting() override;

    // Reads every key with its default, in start-up order, and merges the policy in.
    void ReadAll(const SPolicy& policy = SPolicy());

    int32_t Int(EKeyId id) const { return values_.Int(id); }
    const std::string& Text(EKeyId id) const { return values_.Text(id); }
    const SStringList& List(EKeyId id) const { return values_.List(id); }
    const SSettingValues& Values() const { return values_; }

    // Puts a value in force until the end of the run; the next save writes it.
    void Set(EKeyId id, int32_t number);
    void Set(EKeyId id, const std::string& text);
    // Takes the key's value from values.
    void Set(EKeyId id, const SSettingValues& values);

    // Writes every value set since the read or the last save, in key table order, each as far
    // as the policy lets the user's file have it. False when any write failed; the record keeps
    // its values either way.
    bool SaveSetupValues();
    // Writes one key's value now, as SaveSetupValues would.
    bool Save(EKeyId id);

    // "w1,w2,...,wn" in at most maxLength bytes; entries that do not fit are
    // left off.
    static std::string ColumnWidthsText(const std::vector<int>& widths, size_t maxLength = 1023);
    // Every key's value in force, in key table order, as the log shows it.
    std::vector<std::string> ValueTexts() const;
    const SMergedValue& Merged(EKeyId id) const { return merged_[static_cast<size_t>(id)]; }
    // True when a policy sets any key: the dialogs say so.
    bool PolicyInForce() const { return policy_.Any() || !policy_.refusedFile.empty(); }
    // The entries a policy sets for a List key, read as the record reads its own and joined
    // with commas; the user's entries are the others.
    std::string PolicyList(EKeyId id) const;
    // The policy file is there but could not be read: the guards are at their strongest.
    bool PolicyFileRefused() const { return !policy_.refusedFile.empty(); }
    const SPolicy& Policy() const { return policy_; }
    const SMergedValue* MergedValues() const { return merged_; }

    // Read at start, written to the log once it is installed.
    std::vector<std::string> startLog;
    // Why the file could not be read as meant; empty when it could.
    std::string unreadableWhy;

  private:
    bool SaveNumber(const SSettingKey& key, int32_t value);
    bool SaveOwnEntries(const SSettingKey& key);

    SPolicy policy_;
    SUserValue user_[kKeyCount];
    SMergedValue merged_[kKeyCount];
    SSettingValues values_;
    // Set since the read and not saved yet.
    bool unsaved_[kKeyCount] = {};
};
