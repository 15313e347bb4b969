#include "settings/setting_values.h"

#include <memory>

#include "settings/domain_text.h"
#include "settings/setting_merge.h"

void AppendEntries(const SSettingKey& key, const char* text, SStringList* list) {
    // "@example.co.jp" in a domain list means example.co.jp, as in the entry dialog.
    if (key.rule == EOneWay::DomainList)
        AppendTrimmedDomains(list, text);
    else
        list->AppendCommaSeparated(text);
}

SSettingValues::SSettingValues() {
    // What a user who never wrote a key gets is the key's default.
    for (size_t i = 0; i < kKeyCount; ++i) {
        const SMergedValue value = ReadUserValue(KeyTable()[i], SUserValue());
        Take(KeyTable()[i].id, value.number, value.text);
    }
}

SSettingValues::SSettingValues(const SSettingValues& other) {
    *this = other;
}

SSettingValues& SSettingValues::operator=(const SSettingValues& other) {
    for (size_t i = 0; i < kKeyCount; ++i)
        Copy(KeyTable()[i].id, other);
    return *this;
}

std::string SSettingValues::JoinedText(EKeyId id) const {
    if (KeyOf(id).type != EKeyType::List)
        return Text(id);
    std::unique_ptr<char[]> joined(List(id).JoinWithCommas());
    return joined ? joined.get() : "";
}

void SSettingValues::Set(EKeyId id, int32_t number) {
    Take(id, number, std::string());
}

void SSettingValues::Set(EKeyId id, const std::string& text) {
    Take(id, Int(id), text);
}

void SSettingValues::Copy(EKeyId id, const SSettingValues& other) {
    if (&other == this)
        return;
    SValue& value = values_[Index(id)];
    const SValue& from = other.values_[Index(id)];
    value.number = from.number;
    value.text = from.text;
    value.list.CopyFrom(&from.list);
}

void SSettingValues::SetMerged(const SMergedValue merged[kKeyCount]) {
    for (size_t i = 0; i < kKeyCount; ++i)
        Take(KeyTable()[i].id, merged[i].number, merged[i].text);
}

void SSettingValues::Take(EKeyId id, int32_t number, const std::string& text) {
    const SSettingKey& key = KeyOf(id);
    SValue& value = values_[Index(id)];
    value.number = number;
    value.text = key.type == EKeyType::Int ? std::to_string(number) : text;
    value.list.Clear();
    if (key.type == EKeyType::List)
        AppendEntries(key, value.text.c_str(), &value.list);
}
