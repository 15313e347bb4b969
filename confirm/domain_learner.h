// Between the hold and its other observer: every event is passed on, and the domains of mail on
// its way out are learned only once it has left: when its window goes after the send the
// plug-in let through. A window that comes back teaches nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "delay/hold_book.h"

class SDomainLearner : public SHoldObserver {
  public:
    typedef std::function<std::vector<std::string>(const SDelayMail&)> OutsideOf;
    typedef std::function<void(const std::vector<std::string>&)> Learn;
    // next may be null.
    SDomainLearner(SHoldObserver* next, OutsideOf outside, Learn learn);
    void OnHeld(const std::string& mailbox, const SDelayMail& mail) override;
    void OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) override;
    void OnWindowGone(SWindowId window) override;

    // The host sends this window's message now; it has left once the window goes.
    void Sending(SWindowId window, std::vector<std::string> domains);
    // The send a release posted has come: the released message's domains wait for the window.
    void PassUsed(SWindowId window);
    // The window is the user's again (a new send from it, or shown after a failed send).
    void CameBack(SWindowId window);
    // Windows whose send was let through and that are still open: the send failed.
    void DropStillOpen(const std::function<bool(SWindowId)>& isOpen);

    // Whether mail that left the hold by this road went out to its recipients.
    static bool LeftForItsRecipients(EHoldRoad road);

  private:
    struct SLeaving {
        SWindowId window;
        std::vector<std::string> domains;
        bool sending; // false: released, its posted send not yet come
    };
    SLeaving* Find(SWindowId window);

    SHoldObserver* next;
    OutsideOf outside;
    Learn learn;
    std::vector<SLeaving> leaving;
};
