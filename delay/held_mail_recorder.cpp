#include "delay/held_mail_recorder.h"

#include <cstdint>

#include "journal/held_journal.h"
#include "journal/hold_log_text.h"
#include "journal/journal_record.h"
#include "support/guard.h"
#include "support/log_target.h"
#include "support/log_writer.h"
#include "support/string_list.h"

namespace {

unsigned long long IdOf(const SDelayMail& mail) {
    return reinterpret_cast<uintptr_t>(mail.composeWindow);
}

// The journal keeps a field's first kJournalFieldLimit bytes, cut on a whole character: twice
// that is all it can need, and the send path copies no more.
const size_t kKeptBytes = 2 * kJournalFieldLimit;

std::string Kept(const std::string& text) {
    return text.substr(0, kKeptBytes);
}

std::string Joined(const SStringList* list) {
    std::string text;
    for (const SStringNode* node = list ? list->first : nullptr; node; node = node->next) {
        if (!text.empty())
            text += ", ";
        text += node->text ? node->text : "";
        if (text.size() >= kKeptBytes)
            return Kept(text);
    }
    return text;
}

bool Logging() {
    return NTessik::GetSink() != nullptr;
}

} // namespace

SHeldMailRecorder::SHeldMailRecorder(SHeldJournal* journal, SLogTarget* log)
    : journal(journal), log(log), keepRecords(false) {}

void SHeldMailRecorder::Queue(SPending&& change) {
    if (!journal)
        return;
    // A record that never reached the disk needs no removal either.
    if (!change.add) {
        for (SPending& waiting : pending) {
            if (waiting.add && !waiting.dropped && waiting.id == change.id) {
                waiting.dropped = true;
                return;
            }
        }
    }
    pending.push_back(std::move(change));
    if (!requestFlush) {
        Flush();
        return;
    }
    requestFlush();
}

void SHeldMailRecorder::Flush() {
    std::vector<SPending> changes;
    changes.swap(pending);
    for (const SPending& change : changes) {
        if (change.dropped)
            continue;
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
                       false,
                       mail.heldAt,
                       mail.releaseAt,
                       {Kept(mailbox), Kept(mail.subject), Kept(mail.from), Joined(mail.to),
                        Joined(mail.cc), Joined(mail.bcc)}});
        if (log && Logging())
            log->LogInfo(HeldLogText(mailbox.c_str(), mail.subject.c_str(), mail.innerCount,
                                     mail.outerCount, mail.holdMinutes, mail.releaseAt)
                             .c_str());
        return 0;
    });
}

void SHeldMailRecorder::OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) {
    GuardedCall<int>(0, [&]() {
        if (!keepRecords)
            Queue(SPending{IdOf(mail), false, false, mail.heldAt, mail.releaseAt, {}});
        if (log && Logging())
            log->LogInfo(LeftHoldLogText(road, mailbox.c_str(), mail.subject.c_str()).c_str());
        return 0;
    });
}
