#include "journal/hold_log_text.h"

#include "journal/journal_record.h"
#include "support/line_text.h"

namespace {

std::string Bounded(const char* text, size_t maxBytes) {
    return CutText(text != nullptr ? text : "", maxBytes, "...");
}

std::string MailPart(const char* mailbox, const char* subject) {
    return " メールボックス=" + Bounded(mailbox, kLogSubjectBytes) + " 件名「" +
           Bounded(subject, kLogSubjectBytes) + "」";
}

const char* RoadName(EHoldRoad road) {
    switch (road) {
    case EHoldRoad::ReleasedByTimer:
        return "保留時間が過ぎて送信";
    case EHoldRoad::SentNow:
        return "すぐに送信";
    case EHoldRoad::SentAtExit:
        return "終了時にまとめて送信";
    case EHoldRoad::ReleasedForEdit:
        return "編集のため送信";
    case EHoldRoad::Replaced:
        return "再送信で保留し直し";
    case EHoldRoad::TakenBack:
        return "送信中止";
    case EHoldRoad::Forgotten:
        return "作成ウィンドウが閉じられたため保留終了";
    }
    return "保留終了";
}

} // namespace

std::string HeldLogText(const char* mailbox, const char* subject, int innerCount, int outerCount,
                        int holdMinutes, const SLocalTime& releaseAt) {
    return "保留" + MailPart(mailbox, subject) + " 組織内=" + std::to_string(innerCount) +
           " 組織外=" + std::to_string(outerCount) + " 保留時間=" + std::to_string(holdMinutes) +
           "分 送信予定=" + TimeText(releaseAt);
}

std::string LeftHoldLogText(EHoldRoad road, const char* mailbox, const char* subject) {
    return RoadName(road) + MailPart(mailbox, subject);
}

std::string SetupSavedLogText(const char* innerDomains, int innerMinutes, int outerMinutes) {
    return "設定保存 組織内ドメイン=" + Bounded(innerDomains, kLogListBytes) +
           " 組織内保留=" + std::to_string(innerMinutes) +
           "分 組織外保留=" + std::to_string(outerMinutes) + "分";
}

std::string StartLogText(const char* version, const char* settingsPath) {
    return "開始 バージョン=" + Bounded(version, kLogSubjectBytes) +
           " 設定=" + Bounded(settingsPath, kLogListBytes);
}

std::string ExitLogText(int stillHeld) {
    return "終了 保留中=" + std::to_string(stillHeld) + "通";
}

std::string LostMailLogText(int lostCount) {
    return "前回の終了で送信されなかった保留メール=" + std::to_string(lostCount) + "通";
}

std::string SettingsReadLogText(const char* innerDomains, int innerMinutes, int outerMinutes,
                                bool ctrlBypass, int logLevel) {
    // Named by their keys: what an administrator compares with the file.
    return "設定読み込み InnerDomains=" + Bounded(innerDomains, kLogListBytes) +
           " InnerDelayTime=" + std::to_string(innerMinutes) +
           " OuterDelayTime=" + std::to_string(outerMinutes) +
           " CtrlBypass=" + (ctrlBypass ? "1" : "0") + " LogLevel=" + std::to_string(logLevel);
}

std::string DecisionLogText(const char* subject, EDecision decision) {
    const char* reason = "保留";
    switch (decision) {
    case EDecision::Held:
        break;
    case EDecision::NotASend:
        reason = "保留しない: 送信ではない操作（下書きの保存など）";
        break;
    case EDecision::ReleasedBefore:
        reason = "すぐに送信: Velmora が保留を終えたメール";
        break;
    case EDecision::CtrlDown:
        reason = "すぐに送信: Ctrl キーが押されていた";
        break;
    case EDecision::IdentHeader:
        reason = "すぐに送信: X-KRV-Ident ヘッダーの指定";
        break;
    case EDecision::InsideZeroHold:
        reason = "すぐに送信: 宛先がすべて組織内で、組織内の保留時間が0";
        break;
    case EDecision::ZeroHold:
        reason = "すぐに送信: 保留時間が0";
        break;
    }
    return "判定 件名「" + Bounded(subject, kLogSubjectBytes) + "」 " + reason;
}

std::string SetupNotSavedLogText() {
    return "設定を保存できませんでした";
}

std::string JournalLogText(EJournalTrouble trouble, unsigned long error, const char* path) {
    const char* what = "";
    switch (trouble) {
    case EJournalTrouble::NoFolder:
        what = "フォルダーを作れません";
        break;
    case EJournalTrouble::NoLockFile:
        what = "ロックファイルを作れません";
        break;
    case EJournalTrouble::NotWritten:
        what = "書き込めません";
        break;
    case EJournalTrouble::NotRemoved:
        what = "消せません";
        break;
    case EJournalTrouble::NoHistory:
        what = "履歴に書けません";
        break;
    case EJournalTrouble::ChangedWhileRead:
        return std::string("保留記録: 読んでいる間に書き換えられたため、次の起動で読み直します ") +
               Bounded(path, kLogListBytes);
    case EJournalTrouble::Damaged:
        return std::string("保留記録: 壊れているため、送信されなかったメールとして知らせます ") +
               Bounded(path, kLogListBytes);
    }
    return std::string("保留記録: ") + what + " (" + std::to_string(error) + ") " +
           Bounded(path, kLogListBytes);
}
