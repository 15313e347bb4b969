#include "confirm/confirm_kinds.h"

#include <cstdio>

#include "confirm/confirm_rows.h"
#include "confirm/confirm_text.h"
#include "lookalike/public_suffix.h"

namespace {

const size_t kWarningNamesBytes = 240;
const size_t kDomainNameBytes = 64;

// A domain as the list and the log show it: raw in the model, escaped and bounded here.
std::string Shown(const std::string& domain) {
    return DisplayText(domain.c_str(), kDomainNameBytes);
}

// "（株式会社サンプル）" when DomainNames names the organisation, else nothing.
std::string Organisation(const std::string& name) {
    return name.empty() ? std::string() : "（" + DisplayText(name.c_str(), kDomainNameBytes) + "）";
}

const char kLookalikeWarned[] = "似たドメイン";

std::string LookalikeLog(const SConfirmRow& row, const std::string& what) {
    return "似たドメイン ドメイン=" + Shown(row.domain) + what;
}

std::string MassMailText(const SConfirmWarning& warning) {
    char text[256];
    snprintf(text, sizeof(text),
             "To/Cc に組織外のアドレスが %d 件（%d ドメイン）あります。"
             "一斉送信なら Bcc に入れてください。",
             warning.addresses, warning.domains);
    return text;
}

// The new domains are named up to a bound, the rest counted.
std::string NewDomainText(const SConfirmWarning& warning) {
    std::string names;
    size_t named = 0;
    for (const std::string& name : warning.names) {
        std::string shown = Shown(name);
        if (named > 0 && names.size() + shown.size() > kWarningNamesBytes)
            break;
        names += (named > 0 ? ", " : "") + shown;
        ++named;
    }
    if (named < warning.names.size())
        names += " ほか " + std::to_string(warning.names.size() - named) + " 件";
    return ButtonText("初めて送るドメインがあります: " + names +
                      "。宛先に誤りがないか確認してください。");
}

} // namespace

SRowKind RowKindOf(ERowKind kind) {
    switch (kind) {
    case ERowKind::Recipient:
        return {0, false, nullptr, nullptr, nullptr, nullptr};
    case ERowKind::Keyword:
        return {-2,
                true,
                "社外秘の語",
                [](const SConfirmRow& row) {
                    return "件名に「" + row.entry +
                           "」があります。組織外へ送ってよいか確認してください";
                },
                [](const SConfirmRow& row) { return "社外秘の語 語「" + row.entry + "」"; },
                "社外秘の語"};
    case ERowKind::Lookalike:
        return {-1,
                true,
                nullptr,
                [](const SConfirmRow& row) {
                    return Shown(row.resembles) + Organisation(row.resemblesOrganisation) +
                           " に似ています";
                },
                [](const SConfirmRow& row) {
                    return LookalikeLog(row, " 似ている=" + Shown(row.resembles));
                },
                kLookalikeWarned};
    case ERowKind::SuffixTypo:
        // Which suffix was meant first: a narrow column cuts the end.
        return {-1,
                true,
                nullptr,
                [](const SConfirmRow& row) {
                    return "末尾は ." + Shown(SplitDomain(row.resembles).suffix) + " では？ " +
                           Shown(row.resembles) + Organisation(row.resemblesOrganisation) +
                           " に似ています";
                },
                [](const SConfirmRow& row) {
                    return LookalikeLog(row, " 似ている=" + Shown(row.resembles));
                },
                kLookalikeWarned};
    case ERowKind::MixedScript:
        return {
            -1,
            true,
            nullptr,
            [](const SConfirmRow&) { return std::string("文字の種類が混在したドメイン名です"); },
            [](const SConfirmRow& row) { return LookalikeLog(row, " 文字の種類が混在"); },
            kLookalikeWarned};
    case ERowKind::UnreadableIdn:
        return {
            -1,
            true,
            nullptr,
            [](const SConfirmRow&) { return std::string("読み取れない国際化ドメイン名です"); },
            [](const SConfirmRow& row) { return LookalikeLog(row, " 国際化ドメイン名を読めない"); },
            kLookalikeWarned};
    case ERowKind::BccOnlyOutside:
        return {-1,
                true,
                nullptr,
                [](const SConfirmRow&) { return std::string("Bcc だけに社外の宛先があります"); },
                [](const SConfirmRow& row) {
                    return "Bcc だけに社外の宛先 ドメイン=" + Shown(row.domain);
                },
                "Bcc だけに社外の宛先"};
    case ERowKind::BccMoved:
        // Told, not warned: the settings did it.
        return {
            -3,
            true,
            "Bcc に移しました",
            [](const SConfirmRow& row) {
                return "一斉送信のため、社外の宛先 " + std::to_string(row.moved) +
                       " 件を Bcc に移しました";
            },
            [](const SConfirmRow& row) { return "Bcc に移動 件数=" + std::to_string(row.moved); },
            nullptr};
    }
    return {0, false, nullptr, nullptr, nullptr, nullptr};
}

SWarningKind WarningKindOf(EWarningKind kind) {
    switch (kind) {
    case EWarningKind::MassMail:
        return {MassMailText, [](const SConfirmWarning& warning) {
                    return "一斉送信 組織外=" + std::to_string(warning.addresses);
                }};
    case EWarningKind::NewDomain:
        return {NewDomainText, [](const SConfirmWarning& warning) {
                    return "初めて送るドメイン 件数=" + std::to_string(warning.names.size());
                }};
    }
    return {nullptr, nullptr};
}
