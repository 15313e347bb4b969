#include "delay/held_mail_recorder.h"

#include <cstdint>

#include "settings/held_journal.h"
#include "settings/hold_log_text.h"
#include "support/guard.h"
#include "support/log_target.h"
#include "support/string_list.h"

namespace {

unsigned long long IdOf(const SDelayMail& mail) {
    return reinterpret_cast<uintptr_t>(mail.composeWindow);
}

std::string Joined(const SStringList* list) {
    std::string text;
    for (const SStringNode* node = list ? list->first : nullptr; node; node = node->next) {
        if (!text.empty())
            text += ", ";
        text += node->text ? node->text : "";
    }
    return text;
}

SHoldRoad LogRoad(EHoldRoad road) {
    switch (road) {
    case kRoadSentNow:
        return SHoldRoad::SentNow;
    case kRoadTimer:
        return SHoldRoad::ReleasedByTimer;
    case kRoadExit:
        return SHoldRoad::SentAtExit;
    case kRoadForEdit:
        return SHoldRoad::ReleasedForEdit;
    case kRoadTakenBack:
        return SHoldRoad::TakenBack;
    case kRoadReplaced:
        return SHoldRoad::Replaced;
    default:
        return SHoldRoad::Forgotten;
    }
}

} // namespace

SHeldMailRecorder::SHeldMailRecorder(SHeldJournal* journal, SLogTarget* log)
    : journal(journal), log(log) {}

// The hold goes on whatever happens here: a failed record is the journal's to log.
void SHeldMailRecorder::OnHeld(const std::string& mailbox, const SDelayMail& mail) {
    GuardedCall<int>(0, [&]() {
        if (journal)
            journal->Add(IdOf(mail), mail.heldAt, mail.releaseAt, mailbox.c_str(),
                         mail.subject.c_str(), mail.from.c_str(), Joined(mail.to).c_str(),
                         Joined(mail.cc).c_str(), Joined(mail.bcc).c_str());
        if (log)
            log->LogInfo(HeldLogText(mailbox.c_str(), mail.subject.c_str(), mail.innerCount,
                                     mail.outerCount, mail.holdMinutes, mail.releaseAt)
                             .c_str());
        return 0;
    });
}

void SHeldMailRecorder::OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) {
    GuardedCall<int>(0, [&]() {
        if (journal)
            journal->Remove(IdOf(mail));
        if (log)
            log->LogInfo(
                LeftHoldLogText(LogRoad(road), mailbox.c_str(), mail.subject.c_str()).c_str());
        return 0;
    });
}
