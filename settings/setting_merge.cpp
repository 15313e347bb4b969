#include "settings/setting_merge.h"

#include "support/string_list.h"

namespace {

bool IsHoldTime(const SSettingKey& key) {
    return key.id == EKeyId::InnerDelayTime || key.id == EKeyId::OuterDelayTime;
}

int32_t DefaultNumber(const SSettingKey& key) {
    int32_t value = 0;
    ReadNumber(key.defaultText, &value);
    return value;
}

// A policy number the key can take, or false.
bool ReadPolicyNumber(const SSettingKey& key, const SPolicyValue& value, int32_t* number) {
    return value.readable && ReadNumber(value.text.c_str(), number) && InRange(key, *number);
}

void MergeNumber(const SSettingKey& key, const SUserValue& user, const SPolicyValue& policy,
                 SMergedValue* merged) {
    if (!policy.set)
        return;
    merged->bounded = true;
    int32_t number = 0;
    if (!ReadPolicyNumber(key, policy, &number)) {
        // Neither the default nor what the user chose may be weakened by a typo of the policy.
        merged->policyUnreadable = true;
        if (StrongerOf(key, merged->number, DefaultNumber(key)) != merged->number) {
            merged->number = DefaultNumber(key);
            merged->source = EValueSource::Default;
        }
        merged->bound = merged->number;
        merged->fixed = key.rule == EOneWay::Fixed || IsStrongest(key, merged->number);
        return;
    }
    merged->bound = number;
    merged->fixed = key.rule == EOneWay::Fixed || IsStrongest(key, number);
    const bool userStronger = user.present && !merged->fixed && merged->number != number &&
                              AllowedFrom(key, number, merged->number) &&
                              merged->source == EValueSource::UserFile;
    if (userStronger)
        return;
    merged->userOverridden = merged->source == EValueSource::UserFile && merged->number != number;
    merged->number = number;
    merged->text = std::to_string(number);
    merged->source = policy.source;
}

void MergeText(const SSettingKey& key, const SUserValue& user, const SPolicyValue& policy,
               const SPolicy& all, SMergedValue* merged) {
    if (!policy.set)
        return;
    merged->bounded = true;
    if (!policy.readable) {
        merged->policyUnreadable = true;
        // Fewer inner domains hold more mail; for any other text the user's stands.
        if (key.rule == EOneWay::DomainList) {
            merged->text = key.defaultText;
            merged->source = EValueSource::Default;
            merged->userOverridden = user.present && !user.text.empty();
        }
        merged->fixed = true;
        return;
    }
    const std::string userText = merged->text;
    if (key.rule == EOneWay::DomainList) {
        const SPolicyValue& allow = all[EKeyId::AllowUserDomains];
        int32_t allowed = 0;
        const bool userAdds = allow.set &&
                              ReadPolicyNumber(KeyOf(EKeyId::AllowUserDomains), allow, &allowed) &&
                              allowed == 1;
        merged->text = userAdds ? UnionOfLists(policy.text, userText) : policy.text;
        merged->fixed = !userAdds;
        merged->userOverridden = !userAdds && user.present && !SplitList(userText.c_str()).empty();
    } else if (key.rule == EOneWay::WordUnion) {
        merged->text = UnionOfLists(policy.text, userText);
    } else {
        merged->text = policy.text;
        merged->fixed = true;
        merged->userOverridden = user.present && user.text != policy.text;
    }
    merged->source = policy.source;
}

} // namespace

const char* SourceName(EValueSource source) {
    switch (source) {
    case EValueSource::UserFile:
        return "利用者の設定ファイル";
    case EValueSource::PolicyFile:
        return "ポリシーファイル";
    case EValueSource::PolicyUser:
        return "ポリシー（ユーザー）";
    case EValueSource::PolicyMachine:
        return "ポリシー（コンピューター）";
    default:
        return "既定値";
    }
}

bool SPolicy::Any() const {
    for (const SPolicyValue& value : values) {
        if (value.set)
            return true;
    }
    return false;
}

std::string ExpandEnvironment(const std::string& text, const SEnvLookup& lookup) {
    std::string expanded;
    size_t at = 0;
    while (at < text.size()) {
        const size_t open = text.find('%', at);
        const size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            expanded += text.substr(at);
            break;
        }
        expanded += text.substr(at, open - at);
        const std::string name = text.substr(open + 1, close - open - 1);
        std::string value;
        if (!name.empty() && lookup && lookup(name, &value)) {
            expanded += value;
            at = close + 1;
        } else {
            // The closing % may open the next name: "%%USERNAME%" keeps the first one.
            expanded += '%';
            at = open + 1;
        }
    }
    return expanded;
}

SMergedValue ReadUserValue(const SSettingKey& key, const SUserValue& user) {
    SMergedValue merged;
    if (key.section == nullptr) {
        ReadNumber(key.defaultText, &merged.number);
        return merged;
    }
    merged.source = user.present ? EValueSource::UserFile : EValueSource::Default;
    if (key.type != EKeyType::Int) {
        merged.text = user.present ? user.text : key.defaultText;
        return merged;
    }
    merged.number = DefaultNumber(key);
    // Present but empty: the default, as a key left blank by hand has always read.
    if (!user.present || user.text.empty()) {
        merged.source = EValueSource::Default;
    } else if (!ReadNumber(user.text.c_str(), &merged.number)) {
        merged.number = key.safeValue;
        merged.userUnreadable = true;
    } else if (!IsHoldTime(key) && !InRange(key, merged.number)) {
        merged.number = DefaultNumber(key);
    }
    merged.text = std::to_string(merged.number);
    return merged;
}

void MergeSettings(const SUserValue user[kKeyCount], const SPolicy& policy,
                   const SEnvLookup& lookup, SMergedValue merged[kKeyCount]) {
    for (size_t i = 0; i < kKeyCount; ++i) {
        const SSettingKey& key = KeyTable()[i];
        merged[i] = ReadUserValue(key, user[i]);
        SPolicyValue value = policy.values[i];
        if (!policy.refusedFile.empty() && !value.set) {
            value.set = true;
            value.readable = false;
            value.source = EValueSource::PolicyFile;
        }
        if (key.type == EKeyType::Int) {
            MergeNumber(key, user[i], value, &merged[i]);
            merged[i].text = std::to_string(merged[i].number);
        } else {
            MergeText(key, user[i], value, policy, &merged[i]);
        }
    }
    // One deployed value gives one log per user.
    SMergedValue& logFile = merged[static_cast<size_t>(EKeyId::LogFile)];
    logFile.text = ExpandEnvironment(logFile.text, lookup);
}

std::vector<std::string> MergeLogLines(const SUserValue user[kKeyCount], const SPolicy& policy,
                                       const SMergedValue merged[kKeyCount]) {
    std::vector<std::string> lines;
    if (!policy.refusedFile.empty())
        lines.push_back("ポリシーファイルを読めません（" + policy.refusedFile +
                        "）: すべての設定を既定値と利用者の値のうち厳しい方とします");
    for (size_t i = 0; i < kKeyCount; ++i) {
        const SSettingKey& key = KeyTable()[i];
        const SMergedValue& value = merged[i];
        const std::string shown =
            key.type == EKeyType::Int ? std::to_string(value.number) : value.text;
        if (value.userUnreadable)
            lines.push_back(std::string("設定 ") + key.name + " の値「" + user[i].text +
                            "」は数として読めないため " + std::to_string(key.safeValue) +
                            " とします");
        if (value.policyUnreadable)
            lines.push_back(
                std::string("ポリシー ") + key.name + " の値「" + policy.values[i].text +
                "」を使えないため、既定値と利用者の値のうち厳しい方 " + shown + " とします");
        if (value.userOverridden)
            lines.push_back(std::string("利用者の設定 ") + key.name + "=" + user[i].text +
                            " はポリシーにより使われません");
        lines.push_back(std::string("設定 ") + key.name + "=" + shown + " (" +
                        SourceName(value.source) + ")");
    }
    return lines;
}

std::string UnreadableFileLogText(const std::string& why, const std::string& path) {
    return "設定ファイルを読めません（" + why + "）: 安全側の値で動きます " + path;
}

bool UserMayStore(const SSettingKey& key, const SMergedValue& merged, int32_t value) {
    if (!merged.bounded)
        return true;
    if (merged.fixed || key.rule == EOneWay::Fixed)
        return false;
    // The user's own stronger value was in force: lowering it to the policy's is the user's.
    return AllowedFrom(key, merged.bound, value) &&
           (value != merged.bound || merged.source == EValueSource::UserFile);
}

std::vector<std::string> ChangeLogLines(const std::vector<std::string>& before,
                                        const std::vector<std::string>& after) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < kKeyCount && i < before.size() && i < after.size(); ++i) {
        if (before[i] != after[i])
            lines.push_back(std::string("設定変更 ") + KeyTable()[i].name + ": 「" + before[i] +
                            "」→「" + after[i] + "」");
    }
    return lines;
}

std::string UnionOfLists(const std::string& base, const std::string& extra) {
    std::string joined;
    for (const std::string& entry : SplitList(base.c_str()))
        joined += (joined.empty() ? "" : ",") + entry;
    for (const std::string& entry : SplitList(extra.c_str())) {
        if (!ListHas(joined.c_str(), entry.c_str()))
            joined += (joined.empty() ? "" : ",") + entry;
    }
    return joined;
}
