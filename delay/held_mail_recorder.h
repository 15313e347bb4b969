// Keeps the journal and the operation log in step with the hold: a record for each held
// message, gone again on every road out.
#pragma once

#include "delay/hold_book.h"

class SHeldJournal;
class SLogTarget;

class SHeldMailRecorder : public SHoldObserver {
  public:
    // Either may be null: no journal, or nowhere to log.
    SHeldMailRecorder(SHeldJournal* journal, SLogTarget* log);
    void OnHeld(const std::string& mailbox, const SDelayMail& mail) override;
    void OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) override;

  private:
    SHeldJournal* journal;
    SLogTarget* log;
};
