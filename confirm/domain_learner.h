// Between the hold and its other observer: every event is passed on, and each message that
// really left the hold (sent now, released by the timer, sent at exit) is handed to learn.
#pragma once

#include <functional>
#include <string>

#include "delay/hold_book.h"

class SDomainLearner : public SHoldObserver {
  public:
    typedef std::function<void(const SDelayMail&)> Learn;
    // next may be null.
    SDomainLearner(SHoldObserver* next, Learn learn);
    void OnHeld(const std::string& mailbox, const SDelayMail& mail) override;
    void OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) override;

    // Whether mail that left the hold by this road went out to its recipients.
    static bool LeftForItsRecipients(EHoldRoad road);

  private:
    SHoldObserver* next;
    Learn learn;
};
