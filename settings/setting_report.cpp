#include "settings/setting_report.h"

#include "support/string_list.h"

namespace {

const char kLineEnd[] = "\r\n";

// A key of few values lists those the user may still pick.
bool FewValues(const SSettingKey& key) {
    return key.choices != nullptr || key.maxValue - key.minValue <= 3;
}

std::string AllowedValues(const SSettingKey& key, int32_t bound) {
    std::string values;
    for (int32_t each = key.minValue; each <= key.maxValue; ++each) {
        if (InRange(key, each) && AllowedFrom(key, bound, each))
            values += (values.empty() ? "" : "、") + std::to_string(each);
    }
    return values;
}

std::string NumberRange(const SSettingKey& key, int32_t bound) {
    const std::string number = std::to_string(bound);
    if (FewValues(key))
        return AllowedValues(key, bound) + " にだけ変更できる";
    switch (key.rule) {
    case EOneWay::Higher:
        return number + " 以上にだけ変更できる";
    case EOneWay::Lower:
        return number + " 以下にだけ変更できる";
    case EOneWay::FewerNotZero:
        return "1～" + number + " にだけ変更できる";
    case EOneWay::Fixed:
    case EOneWay::Ranked:
    case EOneWay::DomainList:
    case EOneWay::WordUnion:
    case EOneWay::NameMap:
        break;
    }
    return "変更できない";
}

} // namespace

std::string ChangeRangeText(const SSettingKey& key, const SMergedValue& merged) {
    if (key.section == nullptr)
        return "ポリシーだけで決める";
    if (!merged.bounded)
        return "自由に変更できる";
    if (merged.fixed)
        return "変更できない";
    if (key.rule == EOneWay::DomainList)
        return "ポリシーの一覧に利用者のドメインを加えられる";
    if (key.rule == EOneWay::WordUnion)
        return "ポリシーの語に利用者の語を加えられる";
    if (key.rule == EOneWay::NameMap)
        return "ポリシーの名前に利用者の名前を加えられる（同じドメインはポリシーの名前）";
    return NumberRange(key, merged.bound);
}

std::string SettingsReportText(const SReportHeader& header, const SMergedValue merged[kKeyCount]) {
    std::string text = "zVelmora " + header.version + " の設定一覧" + kLineEnd;
    text += "設定ファイル: " + header.settingsPath + kLineEnd;
    text += "ポリシーファイル: " + header.policyPath;
    if (!header.policyRefused.empty())
        text +=
            "（読めないため、誤送信の防止を強める側の値で動いています: " + header.policyRefused +
            "）";
    text += std::string(kLineEnd) + kLineEnd;
    // The value last: a long list then pushes no column.
    text += std::string("キー\t設定元\t変更できる範囲\t使われている値") + kLineEnd;
    for (size_t i = 0; i < kKeyCount; ++i) {
        const SSettingKey& key = KeyTable()[i];
        const SMergedValue& value = merged[i];
        const std::string shown =
            key.type == EKeyType::Int ? std::to_string(value.number) : value.text;
        text += std::string(key.name) + "\t" + SourceName(value.source) + "\t" +
                ChangeRangeText(key, value);
        if (value.userOverridden)
            text += "（利用者の値は使われません）";
        text += "\t" + (shown.empty() ? std::string("（空）") : shown);
        text += kLineEnd;
    }
    return text;
}
