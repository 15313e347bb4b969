#include "confirm/confirm_text.h"

#include "confirm/confirm_kinds.h"
#include "confirm/confirm_rows.h"
#include "support/line_text.h"
#include "support/mbcs.h"

namespace {

const size_t kLogSubjectBytes = 256;
const size_t kLogPathBytes = 1024;

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

std::string WarningText(const SConfirmWarning& warning) {
    const SWarningKind kind = WarningKindOf(warning.kind);
    return kind.says ? kind.says(warning) : "";
}

std::string AttentionText(const SConfirmRow& row) {
    const SRowKind kind = RowKindOf(row.kind);
    return kind.says ? kind.says(row) : "";
}

std::vector<std::string> WarningLogLines(const SConfirmModel& model) {
    static const char kPrefix[] = "宛先確認の警告 種類=";
    std::vector<std::string> lines;
    for (const SConfirmRow& row : model.rows) {
        const SRowKind kind = RowKindOf(row.kind);
        if (kind.log)
            lines.push_back(kPrefix + kind.log(row));
    }
    for (const SConfirmWarning& warning : model.warnings) {
        const SWarningKind kind = WarningKindOf(warning.kind);
        if (kind.log)
            lines.push_back(kPrefix + kind.log(warning));
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
        reason = "作成ウィンドウが閉じられた";
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
