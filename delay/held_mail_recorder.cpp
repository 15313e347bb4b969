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
    : journal(journal), log(log), flushRequested(false) {}

void SHeldMailRecorder::Queue(SPending&& change) {
    if (!journal)
        return;
    // A record that never reached the disk needs no removal either.
    if (!change.add) {
        for (auto it = pending.begin(); it != pending.end(); ++it) {
            if (it->add && it->id == change.id) {
                pending.erase(it);
                return;
            }
        }
    }
    pending.push_back(std::move(change));
    if (!requestFlush) {
        Flush();
        return;
    }
    if (!flushRequested) {
        flushRequested = true;
        requestFlush();
    }
}

void SHeldMailRecorder::Flush() {
    flushRequested = false;
    std::vector<SPending> changes;
    changes.swap(pending);
    for (const SPending& change : changes) {
        if (!change.add) {
            journal->Remove(change.id);
            continue;
        }
        const std::string* t = change.texts;
        journal->Add(change.id, change.heldAt, change.releaseAt, t[0].c_str(), t[1].c_str(),
                     t[2].c_str(), t[3].c_str(), t[4].c_str(), t[5].c_str());
    }
}

// The hold goes on whatever happens here: a failed record is the journal's to log.
void SHeldMailRecorder::OnHeld(const std::string& mailbox, const SDelayMail& mail) {
    GuardedCall<int>(0, [&]() {
        Queue(SPending{IdOf(mail),
                       true,
                       mail.heldAt,
                       mail.releaseAt,
                       {mailbox, mail.subject, mail.from, Joined(mail.to), Joined(mail.cc),
                        Joined(mail.bcc)}});
        if (log)
            log->LogInfo(HeldLogText(mailbox.c_str(), mail.subject.c_str(), mail.innerCount,
                                     mail.outerCount, mail.holdMinutes, mail.releaseAt)
                             .c_str());
        return 0;
    });
}

void SHeldMailRecorder::OnLeft(const std::string& mailbox, const SDelayMail& mail,
                               EHoldRoad road) {
    GuardedCall<int>(0, [&]() {
        Queue(SPending{IdOf(mail), false, mail.heldAt, mail.releaseAt, {}});
        if (log)
            log->LogInfo(
                LeftHoldLogText(LogRoad(road), mailbox.c_str(), mail.subject.c_str()).c_str());
        return 0;
    });
}
