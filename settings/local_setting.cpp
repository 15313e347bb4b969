#include "settings/local_setting.h"

#include <windows.h>

#include <cstdio>
#include <memory>

#include "support/string_list.h"

namespace {

// A user who never changes a key keeps a file without it.
bool SetOptionIfChanged(SIniFile* file, const char* key, int32_t value, int32_t defaultValue) {
    if (file->GetInt("Option", key, defaultValue) == value)
        return true;
    return file->SetInt("Option", key, value);
}

} // namespace

LocalSetting::LocalSetting(const char* path) : SIniFile(path) {}

LocalSetting::~LocalSetting() {}

namespace {

bool LookUpEnvironment(const std::string& name, std::string* value) {
    char text[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(name.c_str(), text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return false;
    *value = text;
    return true;
}

} // namespace

void LocalSetting::ReadAll(const SPolicy& policy) {
    std::string refused;
    const bool readable = ReadMarkedFile(&refused);
    for (size_t i = 0; i < kKeyCount; ++i) {
        const SSettingKey& key = KeyTable()[i];
        user_[i] = SUserValue();
        unsaved_[i] = false;
        if (key.section == nullptr)
            continue;
        if (!readable) {
            // A file that cannot be read as meant may have set anything: the safe value.
            user_[i].present = key.type == EKeyType::Int;
            user_[i].text = std::to_string(key.safeValue);
            continue;
        }
        user_[i].present = ReadValue(key.section, key.name, &user_[i].text);
    }
    policy_ = policy;
    MergeSettings(user_, policy_, LookUpEnvironment, merged_);
    values_.SetMerged(merged_);
    startLog = MergeLogLines(user_, policy_, merged_);
    unreadableWhy = readable ? "" : refused;
    if (!readable)
        startLog.insert(startLog.begin(), UnreadableFileLogText(refused, Path()));
}

void LocalSetting::Set(EKeyId id, int32_t number) {
    values_.Set(id, number);
    unsaved_[static_cast<size_t>(id)] = true;
}

void LocalSetting::Set(EKeyId id, const std::string& text) {
    values_.Set(id, text);
    unsaved_[static_cast<size_t>(id)] = true;
}

void LocalSetting::Set(EKeyId id, const SSettingValues& values) {
    values_.Copy(id, values);
    unsaved_[static_cast<size_t>(id)] = true;
}

std::string LocalSetting::PolicyList(EKeyId id) const {
    const SPolicyValue& value = policy_[id];
    if (!value.set || !value.readable)
        return std::string();
    SStringList list;
    AppendEntries(KeyOf(id), value.text.c_str(), &list);
    std::unique_ptr<char[]> joined(list.JoinWithCommas());
    return joined ? joined.get() : "";
}

bool LocalSetting::SaveSetupValues() {
    // Every write is tried: one that fails must not keep the others from the file.
    bool saved = true;
    for (size_t i = 0; i < kKeyCount; ++i) {
        if (unsaved_[i])
            saved = Save(KeyTable()[i].id) && saved;
    }
    return saved;
}

bool LocalSetting::Save(EKeyId id) {
    unsaved_[static_cast<size_t>(id)] = false;
    const SSettingKey& key = KeyOf(id);
    const SMergedValue& merged = Merged(id);
    if (key.section == nullptr)
        return true;
    if (key.type == EKeyType::Int)
        return SaveNumber(key, Int(id));
    if (merged.bounded && !merged.fixed && key.rule == EOneWay::DomainList)
        return SaveOwnEntries(key);
    // A policy's text stays the policy's; the user's file keeps its own.
    if (merged.bounded)
        return true;
    return SetString(key.section, key.name, values_.JoinedText(id).c_str(), true) != nullptr;
}

// The user's file gets the user's own entries: those the policy does not set, and those it had
// already.
bool LocalSetting::SaveOwnEntries(const SSettingKey& key) {
    const std::string policyList = PolicyList(key.id);
    std::string own;
    for (const SStringNode* node = List(key.id).first; node != nullptr; node = node->next) {
        if (!ListHas(policyList.c_str(), node->text))
            own += (own.empty() ? "" : ",") + std::string(node->text);
    }
    SStringList before;
    AppendEntries(key, user_[static_cast<size_t>(key.id)].text.c_str(), &before);
    for (const SStringNode* node = before.first; node != nullptr; node = node->next) {
        if (ListHas(policyList.c_str(), node->text))
            own = UnionOfLists(own, node->text);
    }
    return SetString(key.section, key.name, own.c_str(), true) != nullptr;
}

bool LocalSetting::SaveNumber(const SSettingKey& key, int32_t value) {
    if (!UserMayStore(key, Merged(key.id), value))
        return true;
    int32_t defaultValue = 0;
    ReadNumber(key.defaultText, &defaultValue);
    if (key.section == std::string("Option"))
        return SetOptionIfChanged(this, key.name, value, defaultValue);
    return SetInt(key.section, key.name, value);
}

std::vector<std::string> LocalSetting::ValueTexts() const {
    std::vector<std::string> texts;
    for (size_t i = 0; i < kKeyCount; ++i)
        texts.push_back(values_.JoinedText(KeyTable()[i].id));
    return texts;
}

std::string LocalSetting::ColumnWidthsText(const std::vector<int>& widths, size_t maxLength) {
    std::string text;
    for (size_t i = 0; i < widths.size(); ++i) {
        char entry[16];
        const int length = std::snprintf(entry, sizeof entry, i == 0 ? "%d" : ",%d", widths[i]);
        if (length < 0 || text.size() + static_cast<size_t>(length) > maxLength)
            break;
        text += entry;
    }
    return text;
}
