#include "confirm/confirm_text.h"

#include <cstdio>

#include "confirm/confirm_rows.h"
#include "lookalike/lookalike_index.h"
#include "support/line_text.h"
#include "support/mbcs.h"

namespace {

const size_t kLogSubjectBytes = 256;
const size_t kLogPathBytes = 1024;

const size_t kWarningNamesBytes = 240;
const size_t kDomainNameBytes = 64;

std::string LogSubject(const std::string& subject) {
    return " 件名「" + CutText(subject, kLogSubjectBytes, "...") + "」";
}

std::string Counts(int insideCount, int outsideCount) {
    return " 組織内=" + std::to_string(insideCount) + " 組織外=" + std::to_string(outsideCount);
}

} // namespace

std::string ButtonText(const std::string& text) {
    std::string doubled;
    for (size_t i = 0; i < text.size(); ++i) {
        // A trail byte may equal '&' in no code page this runs in, but step over pairs anyway.
        if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            doubled.append(text, i++, 2);
            continue;
        }
        if (text[i] == '&')
            doubled += '&';
        doubled += text[i];
    }
    return doubled;
}

std::string MassMailWarningText(const SConfirmWarning& warning) {
    char text[256];
    snprintf(text, sizeof(text),
             "To/Cc に組織外のアドレスが %d 件（%d ドメイン）あります。"
             "一斉送信なら Bcc に入れてください。",
             warning.addresses, warning.domains);
    return text;
}

std::string NewDomainWarningText(const SConfirmWarning& warning) {
    std::string names;
    size_t named = 0;
    for (const std::string& name : warning.names) {
        std::string shown = DisplayText(name.c_str(), kDomainNameBytes);
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

std::string AttentionText(const SConfirmRow& row) {
    if (row.attention == kAttentionKeyword)
        return "件名に「" + row.entry + "」があります。組織外へ送ってよいか確認してください";
    if (row.attention != kAttentionLookalike)
        return "";
    if (!row.resembles.empty())
        return DisplayText(row.resembles.c_str(), kDomainNameBytes) + " に似ています";
    if (row.lookalikeKind == kLookBadIdn)
        return "読み取れない国際化ドメイン名です";
    return "文字の種類が混在したドメイン名です";
}

std::vector<std::string> WarningLogLines(const SConfirmModel& model) {
    std::vector<std::string> lines;
    for (const SConfirmRow& row : model.rows) {
        if (row.attention == kAttentionKeyword) {
            lines.push_back("宛先確認の警告 種類=社外秘の語 語「" + row.entry + "」");
        } else if (row.attention == kAttentionLookalike) {
            std::string line = "宛先確認の警告 種類=似たドメイン ドメイン=" +
                               DisplayText(row.domain.c_str(), kDomainNameBytes);
            line +=
                row.resembles.empty()
                    ? std::string(row.lookalikeKind == kLookBadIdn ? " 国際化ドメイン名を読めない"
                                                                   : " 文字の種類が混在")
                    : " 似ている=" + DisplayText(row.resembles.c_str(), kDomainNameBytes);
            lines.push_back(line);
        }
    }
    for (const SConfirmWarning& warning : model.warnings) {
        if (warning.kind == kWarnMassMail)
            lines.push_back("宛先確認の警告 種類=一斉送信 組織外=" +
                            std::to_string(warning.addresses));
        else if (warning.kind == kWarnNewDomain)
            lines.push_back("宛先確認の警告 種類=初めて送るドメイン 件数=" +
                            std::to_string(warning.names.size()));
    }
    return lines;
}

std::string ConfirmShownLogText(const std::string& subject, int insideCount, int outsideCount,
                                int warningCount) {
    return "宛先確認を表示" + LogSubject(subject) + Counts(insideCount, outsideCount) +
           " 警告=" + std::to_string(warningCount);
}

std::string ConfirmSentLogText(const std::string& subject, int insideCount, int outsideCount,
                               int warningsTicked) {
    return "宛先確認で送信" + LogSubject(subject) + Counts(insideCount, outsideCount) +
           " 確認した警告=" + std::to_string(warningsTicked);
}

std::string ConfirmCancelledLogText(const std::string& subject, EConfirmEnd why) {
    const char* reason = "ユーザー";
    switch (why) {
    case EConfirmEnd::ByUser:
        break;
    case EConfirmEnd::PluginEnded:
        reason = "プラグイン終了";
        break;
    case EConfirmEnd::WindowGone:
        reason = "作成ウィンドウ消滅";
        break;
    case EConfirmEnd::NoDialog:
        reason = "ダイアログを開けない";
        break;
    case EConfirmEnd::RecipientsChanged:
        reason = "宛先の変更";
        break;
    }
    return "宛先確認でキャンセル" + LogSubject(subject) + " 理由=" + reason;
}

std::string DomainHistoryLogText(EHistoryEvent event, const std::string& path) {
    const char* what = "";
    switch (event) {
    case EHistoryEvent::KeptChanging:
        what = "読んでいる間に書き換えられ続けたため、初めて送るドメインは警告しません";
        break;
    case EHistoryEvent::Unreadable:
        what = "読めないため、初めて送るドメインは警告しません";
        break;
    case EHistoryEvent::NotOurs:
        what = "このプラグインの形式ではなく、DomainHistory.txt.bad に移せないため、使いません";
        break;
    case EHistoryEvent::SetAside:
        what = "このプラグインの形式ではないため、DomainHistory.txt.bad に移して記録し直します";
        break;
    case EHistoryEvent::EmptyRemoved:
        what = "空のため、削除して記録し直します";
        break;
    case EHistoryEvent::BrokenRemoved:
        what = "壊れているため、削除して記録し直します";
        break;
    case EHistoryEvent::NotWritten:
        what = "書き込めないため、初めて送るドメインは警告しません";
        break;
    case EHistoryEvent::WrittenAgain:
        what = "書き込めるようになりました";
        break;
    }
    return std::string("送信先ドメインの履歴: ") + what + " " + CutText(path, kLogPathBytes, "...");
}
