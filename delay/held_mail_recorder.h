// Keeps the journal and the operation log in step with the hold: a record for each held
// message, gone again on every road out.
#pragma once

#include <functional>
#include <vector>

#include "delay/hold_book.h"

class SHeldJournal;
class SLogTarget;

class SHeldMailRecorder : public SHoldObserver {
  public:
    // Either may be null: no journal, or nowhere to log.
    SHeldMailRecorder(SHeldJournal* journal, SLogTarget* log);
    void OnHeld(const std::string& mailbox, const SDelayMail& mail) override;
    void OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) override;

    // The journal's file work waits until the host's callback has returned: the send path
    // stays quick. requestFlush is asked at each change to call Flush soon (the asker posts
    // one flush for many); without it every change is written at once.
    void SetFlushRequest(std::function<void()> request) { requestFlush = std::move(request); }
    void Flush();
    // From here on records stay when a message leaves the hold: the plug-in is ending and
    // gives the messages back unsent, so the next start must still name them.
    void KeepRecords() { keepRecords = true; }

  private:
    struct SPending {
        unsigned long long id;
        bool add;
        bool dropped; // an add whose message left before it was written
        SLocalTime heldAt;
        SLocalTime releaseAt;
        std::string texts[6]; // mailbox, subject, from, to, cc, bcc
    };
    void Queue(SPending&& change);

    SHeldJournal* journal;
    SLogTarget* log;
    std::function<void()> requestFlush;
    std::vector<SPending> pending;
    bool keepRecords;
};
