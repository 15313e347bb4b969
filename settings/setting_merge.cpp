#include "settings/setting_merge.h"

#include <algorithm>

#include "settings/domain_text.h"
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

const size_t kFileRank = kPolicySourceCount - 1;

bool Refused(const SPolicy& policy, size_t rank) {
    return rank == kFileRank && !policy.refusedFile.empty();
}

// What a policy file that is there but cannot be read may have set: the choice that guards
// most for a key of few values, the default for a time or a count. False for a key without a
// one-way rule.
bool StrictValue(const SSettingKey& key, int32_t* value) {
    if (key.type != EKeyType::Int || key.rule == EOneWay::Fixed)
        return false;
    *value = DefaultNumber(key);
    if (key.choices == nullptr && key.maxValue - key.minValue != 1)
        return true;
    for (int32_t each = key.minValue; each <= key.maxValue; ++each) {
        if (InRange(key, each))
            *value = StrongerOf(key, *value, each);
    }
    return true;
}

// One source's word on one key; a refused policy file says the strict value, or nothing it
// can be read for.
SPolicyValue LayerValue(const SPolicy& policy, size_t rank, size_t index) {
    if (!Refused(policy, rank))
        return policy.layers[rank][index];
    SPolicyValue value;
    value.set = true;
    value.source = EValueSource::PolicyFile;
    int32_t strict = 0;
    value.readable = StrictValue(KeyTable()[index], &strict);
    value.text = value.readable ? std::to_string(strict) : std::string();
    return value;
}

void NoteUnreadable(const SPolicy& policy, size_t rank, const SPolicyValue& value,
                    SMergedValue* merged) {
    // The refused file has its own line.
    if (Refused(policy, rank) || merged->policyUnreadable)
        return;
    merged->policyUnreadable = true;
    merged->unreadableText = value.text;
}

// merged holds the user's own reading. Each policy source, strongest first, may only move the
// value towards the guard; a value that cannot be used counts as the default there, except
// for a key used as written, where the next source speaks.
void MergeNumber(const SSettingKey& key, const SPolicy& policy, size_t index,
                 SMergedValue* merged) {
    bool any = false;
    int32_t bound = 0;
    EValueSource from = EValueSource::Default;
    for (size_t rank = 0; rank < kPolicySourceCount; ++rank) {
        const SPolicyValue value = LayerValue(policy, rank, index);
        if (!value.set)
            continue;
        merged->bounded = true;
        int32_t number = 0;
        EValueSource source = value.source;
        if (!ReadPolicyNumber(key, value, &number)) {
            NoteUnreadable(policy, rank, value, merged);
            if (key.rule == EOneWay::Fixed)
                continue;
            number = DefaultNumber(key);
            source = EValueSource::Default;
        }
        if (!any || (key.rule != EOneWay::Fixed && StrongerOf(key, bound, number) != bound)) {
            bound = number;
            from = source;
        }
        any = true;
    }
    if (!merged->bounded)
        return;
    if (!any) {
        merged->bound = merged->number;
        merged->fixed = true;
        return;
    }
    merged->bound = bound;
    merged->fixed = key.rule == EOneWay::Fixed || IsStrongest(key, bound);
    // A stronger value of the user's own stands; so does an equal one where no policy value
    // could be used.
    const bool fromUser = merged->source == EValueSource::UserFile;
    const bool userStands =
        fromUser && AllowedFrom(key, bound, merged->number) &&
        (merged->number != bound ? !merged->fixed : from == EValueSource::Default);
    if (!userStands) {
        merged->userOverridden =
            fromUser && merged->number != bound && from != EValueSource::Default;
        merged->number = bound;
        merged->source = from;
    }
    // Whatever the unreadable value said, the user may not weaken what is now in force.
    if (merged->policyUnreadable) {
        merged->bound = merged->number;
        merged->fixed = key.rule == EOneWay::Fixed || IsStrongest(key, merged->number);
    }
}

// The strongest source's AllowUserDomains counts when it is the one that set InnerDomains, or
// a stronger one: a weaker source must not open a stronger one's list.
bool UserDomainsAllowed(const SPolicy& policy, size_t domainsRank) {
    const SSettingKey& key = KeyOf(EKeyId::AllowUserDomains);
    for (size_t rank = 0; rank < kPolicySourceCount; ++rank) {
        const SPolicyValue value = LayerValue(policy, rank, static_cast<size_t>(key.id));
        int32_t allowed = 0;
        if (value.set && ReadPolicyNumber(key, value, &allowed))
            return rank <= domainsRank && allowed == 1;
    }
    return false;
}

void MergeDomains(const SSettingKey& key, const SUserValue& user, const SPolicy& policy,
                  size_t index, SMergedValue* merged) {
    for (size_t rank = 0; rank < kPolicySourceCount; ++rank) {
        const SPolicyValue value = LayerValue(policy, rank, index);
        if (!value.set)
            continue;
        merged->bounded = true;
        merged->fixed = true;
        if (!value.readable) {
            // Fewer inner domains hold more mail.
            NoteUnreadable(policy, rank, value, merged);
            merged->text = key.defaultText;
            merged->source = EValueSource::Default;
            merged->userOverridden = user.present && !user.text.empty();
            return;
        }
        const bool userAdds = UserDomainsAllowed(policy, rank);
        merged->userOverridden = !userAdds && user.present && !SplitList(user.text.c_str()).empty();
        merged->text = UnionOfLists(value.text, userAdds ? merged->text : std::string());
        merged->fixed = !userAdds;
        merged->source = value.source;
        return;
    }
}

// Words add up; names add up too, the stronger source's name standing for its domain.
std::string Union(const SSettingKey& key, const std::string& base, const std::string& extra) {
    return key.rule == EOneWay::NameMap ? UnionOfNames(base, extra) : UnionOfLists(base, extra);
}

bool AddsUp(const SSettingKey& key) {
    return key.rule == EOneWay::WordUnion || key.rule == EOneWay::NameMap;
}

// A list typed with another separator than the comma, in any source.
bool SeparatedOtherwise(const SSettingKey& key, const SUserValue& user, const SPolicy& policy,
                        size_t index) {
    if (!IsListKey(key))
        return false;
    bool other = user.present && HasOtherSeparator(user.text.c_str());
    for (size_t rank = 0; rank < kPolicySourceCount; ++rank)
        other = other || HasOtherSeparator(policy.layers[rank][index].text.c_str());
    return other;
}

// Texts used as written take the strongest source that can be used; words add up.
void MergeText(const SSettingKey& key, const SUserValue& user, const SPolicy& policy, size_t index,
               SMergedValue* merged) {
    if (key.rule == EOneWay::DomainList) {
        MergeDomains(key, user, policy, index, merged);
        return;
    }
    std::string words;
    bool any = false;
    for (size_t rank = 0; rank < kPolicySourceCount; ++rank) {
        const SPolicyValue value = LayerValue(policy, rank, index);
        if (!value.set)
            continue;
        merged->bounded = true;
        if (!value.readable) {
            NoteUnreadable(policy, rank, value, merged);
            continue;
        }
        if (!any)
            merged->source = value.source;
        if (AddsUp(key)) {
            words = Union(key, words, value.text);
        } else if (!any) {
            merged->userOverridden = user.present && user.text != value.text;
            merged->text = value.text;
        }
        any = true;
    }
    if (AddsUp(key)) {
        if (any)
            merged->text = Union(key, words, merged->text);
    } else if (merged->bounded) {
        merged->fixed = true;
    }
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
    for (const auto& layer : layers) {
        for (const SPolicyValue& value : layer) {
            if (value.set)
                return true;
        }
    }
    return false;
}

const SPolicyValue& SPolicy::operator[](EKeyId id) const {
    static const SPolicyValue unset;
    for (const auto& layer : layers) {
        if (layer[static_cast<size_t>(id)].set)
            return layer[static_cast<size_t>(id)];
    }
    return unset;
}

void SPolicy::Set(EKeyId id, const SPolicyValue& value) {
    for (size_t rank = 0; rank < kPolicySourceCount; ++rank) {
        if (kPolicySources[rank] == value.source)
            layers[rank][static_cast<size_t>(id)] = value;
    }
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
        if (key.type == EKeyType::Int) {
            MergeNumber(key, policy, i, &merged[i]);
            merged[i].text = std::to_string(merged[i].number);
        } else {
            MergeText(key, user[i], policy, i, &merged[i]);
        }
    }
    SMergedValue& allow = merged[static_cast<size_t>(EKeyId::AllowUserDomains)];
    const SMergedValue& domains = merged[static_cast<size_t>(EKeyId::InnerDomains)];
    if (domains.bounded && domains.fixed && allow.number == 1) {
        // It did not open the list: set by a source weaker than the list's.
        allow.number = 0;
        allow.text = "0";
        allow.source = EValueSource::Default;
    }
    // One deployed value gives one log per user.
    SMergedValue& logFile = merged[static_cast<size_t>(EKeyId::LogFile)];
    logFile.text = ExpandEnvironment(logFile.text, lookup);
}

std::vector<std::string> MergeLogLines(const SUserValue user[kKeyCount], const SPolicy& policy,
                                       const SMergedValue merged[kKeyCount]) {
    std::vector<std::string> lines;
    if (!policy.refusedFile.empty())
        lines.push_back(RefusedPolicyFileLogText(policy.refusedFile, policy.filePath));
    const size_t allowIndex = static_cast<size_t>(EKeyId::AllowUserDomains);
    for (size_t rank = 0; rank < kPolicySourceCount; ++rank) {
        const SPolicyValue& allow = policy.layers[rank][allowIndex];
        int32_t allowed = 0;
        if (!allow.set || !ReadPolicyNumber(KeyTable()[allowIndex], allow, &allowed))
            continue;
        if (allowed != merged[allowIndex].number)
            lines.push_back(std::string(SourceName(allow.source)) + "の AllowUserDomains=" +
                            allow.text + " は、InnerDomains を決めた設定元より弱いため使いません");
        break;
    }
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
            lines.push_back(std::string("ポリシー ") + key.name + " の値「" + value.unreadableText +
                            "」を使えないため、既定値と利用者の値のうち厳しい方 " + shown +
                            " とします");
        if (SeparatedOtherwise(key, user[i], policy, i))
            lines.push_back(
                std::string("設定 ") + key.name +
                " の一覧にカンマ以外の区切り（，、; 改行）があります。区切りとして読みます");
        if (value.userOverridden)
            lines.push_back(std::string("利用者の設定 ") + key.name + "=" + user[i].text +
                            " はポリシーにより使われません");
        lines.push_back(std::string("設定 ") + key.name + "=" + shown + " (" +
                        SourceName(value.source) + ")");
    }
    return lines;
}

std::string RefusedPolicyFileLogText(const std::string& why, const std::string& path) {
    return "ポリシーファイルを読めません（" + why + "）: 誤送信の防止を強める側の値で動きます " +
           path;
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

std::string UnionOfNames(const std::string& base, const std::string& extra) {
    std::string joined;
    std::vector<std::string> named;
    for (const std::string* list : {&base, &extra}) {
        for (const std::string& entry : SplitList(list->c_str())) {
            std::string domain, name;
            if (!SplitNameEntry(entry, &domain, &name) ||
                std::find(named.begin(), named.end(), domain) != named.end())
                continue;
            named.push_back(domain);
            joined += (joined.empty() ? "" : ",") + domain + "=" + name;
        }
    }
    return joined;
}
