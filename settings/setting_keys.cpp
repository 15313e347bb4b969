#include "settings/setting_keys.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "support/int_parse.h"

namespace {

// A week: a longer hold is a typing slip in a policy, not a guard.
const int32_t kMaxHoldMinutes = 10080;

const SSettingKey kKeys[kKeyCount] = {
    {SKeyId::InnerDomains, "WhiteList", "InnerDomains", SKeyType::List, "", 0, 0, nullptr, 0,
     SOneWay::DomainList, "組織内ドメイン", "組織内ドメイン。カンマ区切り"},
    {SKeyId::InnerDelayTime, "Delay", "InnerDelayTime", SKeyType::Int, "0", 0, kMaxHoldMinutes,
     nullptr, 0, SOneWay::Higher, "組織内ドメインのみの保留時間（分）",
     "宛先がすべて組織内のメールの保留時間（分）。0 以下なら保留しない"},
    {SKeyId::OuterDelayTime, "Delay", "OuterDelayTime", SKeyType::Int, "5", 0, kMaxHoldMinutes,
     nullptr, 5, SOneWay::Higher, "組織内以外を含む保留時間（分）",
     "組織外の宛先を含むメールの保留時間（分）。0 以下なら保留しない"},
    {SKeyId::DelayListColumns, "Option", "DelayListColumns", SKeyType::List,
     "135,164,61,206,128,126,59,89", 0, 0, nullptr, 0, SOneWay::Fixed, "保留一覧の列幅",
     "送信保留リストの列の幅（ピクセル）。カンマ区切り"},
    {SKeyId::Confirm, "Option", "Confirm", SKeyType::Int, "0", 0, 3, "0,3,1,2", 1, SOneWay::Ranked,
     "宛先確認",
     "宛先確認。0：確認しない、3：気になる点があるときだけ、1：組織外の宛先を含むとき、2：すべての"
     "送信"},
    {SKeyId::ConfirmInsideEach, "Option", "ConfirmInsideEach", SKeyType::Int, "0", 0, 1, nullptr, 1,
     SOneWay::Higher, "組織内の宛先も 1 件ずつチェック",
     "1 なら組織内の宛先も 1 件ずつチェックする"},
    {SKeyId::BccWarnCount, "Option", "BccWarnCount", SKeyType::Int, "10", 0, 100000, nullptr, 10,
     SOneWay::FewerNotZero, "一斉送信の警告件数",
     "To/Cc の組織外アドレスがこの数以上なら警告する。0 なら警告しない"},
    {SKeyId::NewDomainWarn, "Option", "NewDomainWarn", SKeyType::Int, "1", 0, 1, nullptr, 1,
     SOneWay::Higher, "初めて送るドメインの警告", "1 なら初めて送るドメインを警告する"},
    {SKeyId::InnerDomainMatch, "Option", "InnerDomainMatch", SKeyType::Int, "0", 0, 1, nullptr, 1,
     SOneWay::Higher, "組織内ドメインの厳密な一致",
     "0：ドメインを含めば組織内、1：同じドメインかサブドメインだけが組織内"},
    {SKeyId::CtrlBypass, "Option", "CtrlBypass", SKeyType::Int, "1", 0, 1, nullptr, 0,
     SOneWay::Lower, "Ctrl キーでの即時送信",
     "1 なら Ctrl キーを押しながらの送信は保留しない。0 なら保留する"},
    {SKeyId::OutsideKeywords, "Option", "OutsideKeywords", SKeyType::Text, "", 0, 0, nullptr, 0,
     SOneWay::WordUnion, "社外秘の語", "件名で確かめる社外秘の語。カンマ区切り"},
    {SKeyId::LogFile, "Option", "LogFile", SKeyType::Text, "", 0, 0, nullptr, 0, SOneWay::Fixed,
     "ログファイル", "操作ログのファイル。空ならログを書かない"},
    {SKeyId::LogLevel, "Option", "LogLevel", SKeyType::Int, "6", 2, 8, "2,6,8", 6, SOneWay::Fixed,
     "ログの詳しさ", "操作ログの詳しさ。2：エラー、6：情報、8：詳細"},
    {SKeyId::HelpUrl, "Option", "HelpUrl", SKeyType::Text, "", 0, 0, nullptr, 0, SOneWay::Fixed,
     "ヘルプの URL", "「ヘルプ(H)」で開く組織のページ"},
    {SKeyId::AllowUserDomains, nullptr, "AllowUserDomains", SKeyType::Int, "0", 0, 1, nullptr, 0,
     SOneWay::Fixed, "利用者による組織内ドメインの追加",
     "ポリシーだけのキー。1 なら利用者の組織内ドメインもポリシーの一覧に加える"},
};

// Position in the key's list of choices, weakest first; -1 when it is none of them.
int ChoiceRank(const char* choices, int32_t value) {
    int rank = 0;
    for (const char* p = choices; *p != '\0'; ++rank) {
        char* end = nullptr;
        const long choice = std::strtol(p, &end, 10);
        if (end == p)
            break;
        if (choice == value)
            return rank;
        p = *end == ',' ? end + 1 : end;
    }
    return -1;
}

// Larger is stronger.
int64_t Strength(const SSettingKey& key, int32_t value) {
    switch (key.rule) {
    case SOneWay::Higher:
        return value;
    case SOneWay::Lower:
        return -static_cast<int64_t>(value);
    case SOneWay::FewerNotZero:
        return value <= 0 ? INT64_MIN : -static_cast<int64_t>(value);
    case SOneWay::Ranked:
        return key.choices != nullptr ? ChoiceRank(key.choices, value) : value;
    default:
        return 0;
    }
}

} // namespace

const SSettingKey& KeyOf(SKeyId id) {
    return kKeys[static_cast<size_t>(id)];
}

const SSettingKey* KeyTable() {
    return kKeys;
}

const SSettingKey* FindKey(const char* name) {
    if (name == nullptr)
        return nullptr;
    for (const SSettingKey& key : kKeys) {
        if (std::strcmp(key.name, name) == 0)
            return &key;
    }
    return nullptr;
}

bool ReadNumber(const char* text, int32_t* value) {
    if (!StartsWithDigit(text))
        return false;
    *value = ParsePrefixedInt(text);
    return true;
}

bool InRange(const SSettingKey& key, int32_t value) {
    if (key.type != SKeyType::Int)
        return false;
    if (key.choices != nullptr)
        return ChoiceRank(key.choices, value) >= 0;
    return value >= key.minValue && value <= key.maxValue;
}

int32_t StrongerOf(const SSettingKey& key, int32_t a, int32_t b) {
    return Strength(key, b) > Strength(key, a) ? b : a;
}

bool AllowedFrom(const SSettingKey& key, int32_t policyValue, int32_t value) {
    if (key.rule == SOneWay::Fixed)
        return value == policyValue;
    return Strength(key, value) >= Strength(key, policyValue);
}

bool IsStrongest(const SSettingKey& key, int32_t value) {
    switch (key.rule) {
    case SOneWay::Fixed:
        return true;
    case SOneWay::Higher:
        return value >= key.maxValue;
    case SOneWay::Lower:
        return value <= key.minValue;
    case SOneWay::FewerNotZero:
        return value == 1;
    case SOneWay::Ranked:
        // The last choice is the strongest.
        return key.choices != nullptr && std::strrchr(key.choices, ',') != nullptr &&
               ChoiceRank(key.choices, std::atoi(std::strrchr(key.choices, ',') + 1)) ==
                   ChoiceRank(key.choices, value);
    default:
        return false;
    }
}
