// Tells the Windows Event Log of each decision on a send and each road out of the hold, and
// whoever shows it how many messages are held. Of the recipients only the number outside and
// their domains are told, never an address or a subject.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "delay/hold_book.h"
#include "journal/event_table.h"
#include "journal/hold_log_text.h"

class SSendRecipients;

class SHoldEvents : public SHoldObserver {
  public:
    typedef std::function<void(int held)> HeldCountChanged;
    // next may be null.
    SHoldEvents(SHoldObserver* next, HeldCountChanged changed);
    void OnHeld(const std::string& mailbox, const SDelayMail& mail) override;
    void OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) override;
    void OnWindowGone(SWindowId window) override;

    // The host sends this message now, unheld: Ctrl, X-KRV-Ident, or nothing to hold it for.
    // Other reasons tell nothing here.
    void SentAtOnce(EDecision reason, const SSendRecipients& recipients);
    // The send a release posted has come.
    void PassUsed(SWindowId window);
    // The plug-in is ending: the messages it gives back are named at the next start instead.
    void Quiet() { quiet = true; }

  private:
    struct SReleased {
        SWindowId window;
        SOutsideRecipients outside;
    };
    void Tell(EEventId id, const SDelayMail& mail, int holdMinutes);
    void Forget(SWindowId window);

    SHoldObserver* next;
    HeldCountChanged changed;
    // Released messages whose posted send has not come yet, told when it does.
    std::vector<SReleased> released;
    int held;
    bool quiet;
};
