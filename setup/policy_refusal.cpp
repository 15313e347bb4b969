#include "setup/policy_refusal.h"

std::string OptionLabel(EKeyId id, int32_t value) {
    const std::string number = std::to_string(value);
    switch (id) {
    case EKeyId::Confirm:
        return value == 3   ? "気になる点があるときだけ確認する"
               : value == 1 ? "組織外の宛先を含むときに確認する"
               : value == 2 ? "すべての送信で確認する"
                            : "確認しない";
    case EKeyId::ConfirmInsideEach:
        return value == 1 ? "組織内の宛先も 1 件ずつチェックする" : "オフ";
    case EKeyId::NewDomainWarn:
        return value == 1 ? "初めて送るドメインを警告する" : "オフ";
    case EKeyId::InnerDomainMatch:
        return value == 1 ? "組織内ドメインは完全一致とサブドメインだけにする" : "オフ";
    case EKeyId::InnerDelayTime:
    case EKeyId::OuterDelayTime:
        return number + " 分";
    case EKeyId::BccWarnCount:
        return number + " 件";
    default:
        return number;
    }
}

std::string PolicyRefusalText(EKeyId id, int32_t policyValue) {
    return "「" + std::string(KeyOf(id).label) + "」は管理者が「" + OptionLabel(id, policyValue) +
           "」に決めています。\nこれより誤送信の防止が弱くなる設定には変更できません。";
}
