// Between the hold and its other observer: every event is passed on, and the domains of mail on
// its way out are learned into the history only once it has left: when its window goes after
// the send the plug-in let through. A window that comes back teaches nothing. Only the
// confirmation reads the history, so nothing is learned while it is off.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "delay/hold_book.h"

class LocalSetting;
class SDomainHistory;
class SDomainHistoryStore;

class SDomainLearner : public SHoldObserver {
  public:
    // next may be null; the settings and the history outlive this.
    SDomainLearner(SHoldObserver* next, const LocalSetting* settings, SDomainHistoryStore* history);
    void OnHeld(const std::string& mailbox, const SDelayMail& mail) override;
    void OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) override;
    void OnWindowGone(SWindowId window) override;

    // The history is kept: the confirmation is on.
    bool Keeps() const;
    // Reads the history the first time it is kept: at the start, or at the first send after
    // the confirmation was switched on. Null when it is not kept or cannot be used.
    const SDomainHistory* LoadHistory();

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
    // Read from the record when it leaves the hold, with the inner domains in force then.
    std::vector<std::string> OutsideDomainsOf(const SDelayMail& mail) const;
    void Learn(const std::vector<std::string>& domains);

    SHoldObserver* next;
    const LocalSetting* settings;
    SDomainHistoryStore* history;
    std::vector<SLeaving> leaving;
};
