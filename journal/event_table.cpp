#include "journal/event_table.h"

#include "journal/hold_log_text.h"
#include "support/line_text.h"

namespace {

const SEventRow kEvents[] = {
#define ZV_EVENT(id, level, name, sentence) {EEventId::name, EEventLevel::level, #name, sentence},
#include "journal/event_list.h"
#undef ZV_EVENT
};

const char* DecisionHead(EEventId id) {
    switch (id) {
    case EEventId::Held:
        return "保留";
    case EEventId::SentInside:
        return "すぐに送信（組織内）";
    case EEventId::SentZeroHold:
        return "すぐに送信（保留時間 0）";
    case EEventId::SentCtrl:
        return "すぐに送信（Ctrl キー）";
    case EEventId::SentIdent:
        return "すぐに送信（X-KRV-Ident）";
    case EEventId::SentReleased:
        return "送信（保留の終わり）";
    case EEventId::ReleasedByTimer:
        return "保留時間が過ぎて送信";
    case EEventId::SentNowFromList:
        return "送信保留リストからすぐに送信";
    case EEventId::ReleasedAtExit:
        return "終了時にまとめて送信";
    case EEventId::TakenBack:
        return "送信中止";
    case EEventId::ClosedWhileHeld:
        return "作成ウィンドウが閉じられて保留終了";
    case EEventId::ConfirmCancelled:
        return "宛先確認でキャンセル";
    case EEventId::Started:
    case EEventId::SentDespiteWarning:
    case EEventId::SettingsUnreadable:
    case EEventId::PolicyUnreadable:
    case EEventId::LogNotOpened:
    case EEventId::MailLost:
    case EEventId::SessionEnded:
        break;
    }
    return nullptr;
}

// Domains come from the message's headers: no control character may reach either log.
std::string OutsideFields(const SOutsideRecipients& outside) {
    std::string text = "組織外=" + std::to_string(outside.count);
    if (outside.domains.empty())
        return text;
    std::string list;
    for (const std::string& domain : outside.domains) {
        if (list.size() > kLogListBytes)
            break;
        list += (list.empty() ? "" : ", ") + FlattenControls(domain);
    }
    if (outside.moreDomains)
        list += ", ...";
    return text + " ドメイン=" + CutText(list, kLogListBytes, "...");
}

std::string Joined(const std::vector<std::string>& texts) {
    std::string text;
    for (const std::string& part : texts)
        text += (text.empty() ? "" : "、") + part;
    return text;
}

} // namespace

const SEventRow* EventTable(size_t* count) {
    *count = sizeof(kEvents) / sizeof(kEvents[0]);
    return kEvents;
}

const SEventRow& EventRow(EEventId id) {
    for (const SEventRow& row : kEvents) {
        if (row.id == id)
            return row;
    }
    return kEvents[0]; // unreachable: every value is made from a row
}

bool EventLevelWanted(EEventLevel level, int eventLogLevel) {
    return eventLogLevel >= kEventLogAll ||
           (eventLogLevel == kEventLogProblems && level != EEventLevel::Information);
}

int LogLevelOf(EEventLevel level) {
    switch (level) {
    case EEventLevel::Error:
        return 2;
    case EEventLevel::Warning:
        return 4;
    case EEventLevel::Information:
        return 6;
    }
    return 6;
}

std::string DecisionEventText(EEventId id, const SOutsideRecipients& outside, int holdMinutes) {
    const char* head = DecisionHead(id);
    if (!head)
        return std::string();
    std::string text = head;
    if (id == EEventId::Held)
        text += " 保留時間=" + std::to_string(holdMinutes) + "分";
    return text + " " + OutsideFields(outside);
}

std::string WarnedSendEventText(const std::vector<std::string>& kinds,
                                const SOutsideRecipients& outside) {
    return "警告をチェックして送信 警告=" + Joined(kinds) + " " + OutsideFields(outside);
}

std::string LogNotOpenedEventText(const std::string& path, unsigned long error) {
    return "操作ログを開けません (" + std::to_string(error) + ") " +
           CutText(FlattenControls(path), kLogListBytes, "...");
}

std::string SessionEndedEventText(int held) {
    return "ログオフまたはシャットダウン 保留中=" + std::to_string(held) + "通";
}

std::vector<std::string> LostMailEventLines(const std::vector<SLostMail>& lost) {
    std::vector<std::string> lines = {LostMailLogText(static_cast<int>(lost.size()))};
    for (const SLostMail& mail : lost)
        lines.push_back("保留日時=" + TimeText(mail.heldAt) + " 送信予定=" + TimeText(mail.dueAt));
    return lines;
}
