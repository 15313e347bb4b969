#include "settings/setting_keys.h"

#include <climits>
#include <cstring>
#include <vector>

#include "support/int_parse.h"
#include "support/string_list.h"

namespace {

// A week: a longer hold is a typing slip in a policy, not a guard.
const int32_t kMaxHoldMinutes = 10080;

const SSettingKey kKeys[kKeyCount] = {
    {EKeyId::InnerDomains, "WhiteList", "InnerDomains", EKeyType::List, "", 0, 0, nullptr, 0,
     EOneWay::DomainList, "組織内ドメイン", "組織内ドメイン。カンマ区切り"},
    {EKeyId::InnerDelayTime, "Delay", "InnerDelayTime", EKeyType::Int, "0", 0, kMaxHoldMinutes,
     nullptr, 0, EOneWay::Higher, "組織内ドメインのみの保留時間（分）",
     "宛先がすべて組織内のメールの保留時間（分）。0 以下なら保留しない"},
    {EKeyId::OuterDelayTime, "Delay", "OuterDelayTime", EKeyType::Int, "5", 0, kMaxHoldMinutes,
     nullptr, 5, EOneWay::Higher, "組織外の宛先を含む保留時間（分）",
     "組織外の宛先を含むメールの保留時間（分）。0 以下なら保留しない"},
    {EKeyId::DelayListColumns, "Option", "DelayListColumns", EKeyType::List,
     "135,164,61,206,128,126,59,89", 0, 0, nullptr, 0, EOneWay::Fixed, "保留一覧の列幅",
     "送信保留リストの列の幅（ピクセル）。カンマ区切り"},
    {EKeyId::Confirm, "Option", "Confirm", EKeyType::Int, "0", 0, 3, "0,3,1,2", 1, EOneWay::Ranked,
     "宛先確認",
     "宛先確認。0：確認しない、3：気になる点があるときだけ、1：組織外の宛先を含むとき、2：すべての"
     "送信"},
    {EKeyId::ConfirmInsideEach, "Option", "ConfirmInsideEach", EKeyType::Int, "0", 0, 1, nullptr, 1,
     EOneWay::Higher, "組織内の宛先も 1 件ずつチェック",
     "1 なら組織内の宛先も 1 件ずつチェックする"},
    {EKeyId::BccWarnCount, "Option", "BccWarnCount", EKeyType::Int, "10", 0, 100000, nullptr, 10,
     EOneWay::FewerNotZero, "一斉送信の警告件数",
     "To/Cc の組織外アドレスがこの数以上なら警告する。0 なら警告しない"},
    {EKeyId::NewDomainWarn, "Option", "NewDomainWarn", EKeyType::Int, "1", 0, 1, nullptr, 1,
     EOneWay::Higher, "初めて送るドメインの警告", "1 なら初めて送るドメインを警告する"},
    {EKeyId::InnerDomainMatch, "Option", "InnerDomainMatch", EKeyType::Int, "0", 0, 1, nullptr, 1,
     EOneWay::Higher, "組織内ドメインの厳密な一致",
     "0：ドメインを含めば組織内、1：同じドメインかサブドメインだけが組織内"},
    {EKeyId::CtrlBypass, "Option", "CtrlBypass", EKeyType::Int, "1", 0, 1, nullptr, 0,
     EOneWay::Lower, "Ctrl キーでの即時送信",
     "1 なら Ctrl キーを押しながらの送信は保留しない。0 なら保留する"},
    {EKeyId::OutsideKeywords, "Option", "OutsideKeywords", EKeyType::Text, "", 0, 0, nullptr, 0,
     EOneWay::WordUnion, "社外秘の語", "件名で確かめる社外秘の語。カンマ区切り"},
    {EKeyId::LogFile, "Option", "LogFile", EKeyType::Text, "", 0, 0, nullptr, 0, EOneWay::Fixed,
     "ログファイル", "操作ログのファイル。空ならログを書かない"},
    {EKeyId::LogLevel, "Option", "LogLevel", EKeyType::Int, "6", 2, 8, "2,6,8", 6, EOneWay::Fixed,
     "ログの詳しさ", "操作ログの詳しさ。2：エラー、6：情報、8：詳細"},
    {EKeyId::HelpUrl, "Option", "HelpUrl", EKeyType::Text, "", 0, 0, nullptr, 0, EOneWay::Fixed,
     "ヘルプの URL", "「ヘルプ(H)」で開く組織のページ"},
    {EKeyId::AllowUserDomains, nullptr, "AllowUserDomains", EKeyType::Int, "0", 0, 1, nullptr, 0,
     EOneWay::Fixed, "利用者による組織内ドメインの追加",
     "ポリシーだけのキー。1 なら利用者の組織内ドメインもポリシーの一覧に加える"},
    {EKeyId::IdentBypass, "Option", "IdentBypass", EKeyType::Int, "1", 0, 1, nullptr, 0,
     EOneWay::Lower, "X-KRV-Ident ヘッダーでの即時送信",
     "1 なら X-KRV-Ident ヘッダーで即時送信を指定したメールは保留しない。0 なら保留する"},
    {EKeyId::EventLog, "Option", "EventLog", EKeyType::Int, "1", 0, 2, "0,1,2", 1, EOneWay::Higher,
     "Windows のイベント ログ",
     "Windows のイベント ログ（アプリケーション）に書く出来事。0：書かない、1：エラーと警告、2："
     "すべて"},
    {EKeyId::BccConvert, "Option", "BccConvert", EKeyType::Int, "1", 0, 2, "0,1,2", 1,
     EOneWay::Higher, "組織外の宛先の Bcc への移動",
     "To/Cc の組織外の宛先を Bcc "
     "に移す。0：移さない、1：宛先確認にボタンを出す、2：確認の前に自動で"
     "移す"},
    {EKeyId::DomainNames, "Option", "DomainNames", EKeyType::List, "", 0, 0, nullptr, 0,
     EOneWay::NameMap, "ドメインの組織名",
     "宛先確認でドメインに添える組織名。ドメインと名前を = でつなぎ、カンマ区切り"},
};

// Position in the key's list of choices, weakest first; -1 when it is none of them.
int ChoiceRank(const char* choices, int32_t value) {
    const std::vector<std::string> order = SplitList(choices);
    for (size_t rank = 0; rank < order.size(); ++rank) {
        if (ParseDecimalInt(order[rank].c_str()) == value)
            return static_cast<int>(rank);
    }
    return -1;
}

// Larger is stronger.
int64_t Strength(const SSettingKey& key, int32_t value) {
    switch (key.rule) {
    case EOneWay::Higher:
        return value;
    case EOneWay::Lower:
        return -static_cast<int64_t>(value);
    case EOneWay::FewerNotZero:
        return value <= 0 ? INT64_MIN : -static_cast<int64_t>(value);
    case EOneWay::Ranked:
        return key.choices != nullptr ? ChoiceRank(key.choices, value) : value;
    default:
        return 0;
    }
}

} // namespace

const SSettingKey& KeyOf(EKeyId id) {
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
    if (key.type != EKeyType::Int)
        return false;
    if (key.choices != nullptr)
        return ChoiceRank(key.choices, value) >= 0;
    return value >= key.minValue && value <= key.maxValue;
}

int32_t StrongerOf(const SSettingKey& key, int32_t a, int32_t b) {
    return Strength(key, b) > Strength(key, a) ? b : a;
}

bool AllowedFrom(const SSettingKey& key, int32_t policyValue, int32_t value) {
    if (key.rule == EOneWay::Fixed)
        return value == policyValue;
    return Strength(key, value) >= Strength(key, policyValue);
}

bool IsListKey(const SSettingKey& key) {
    return key.type == EKeyType::List || key.rule == EOneWay::WordUnion;
}

bool IsStrongest(const SSettingKey& key, int32_t value) {
    switch (key.rule) {
    case EOneWay::Fixed:
        return true;
    case EOneWay::Higher:
        return value >= key.maxValue;
    case EOneWay::Lower:
        return value <= key.minValue;
    case EOneWay::FewerNotZero:
        return value == 1;
    case EOneWay::Ranked: {
        // The last choice is the strongest.
        const int rank = key.choices != nullptr ? ChoiceRank(key.choices, value) : -1;
        return rank >= 0 && rank + 1 == static_cast<int>(SplitList(key.choices).size());
    }
    default:
        return false;
    }
}
