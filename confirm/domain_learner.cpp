#include "confirm/domain_learner.h"

#include <algorithm>

#include "support/guard.h"

SDomainLearner::SDomainLearner(SHoldObserver* next, OutsideOf outside, Learn learn)
    : next(next), outside(std::move(outside)), learn(std::move(learn)) {}

void SDomainLearner::OnHeld(const std::string& mailbox, const SDelayMail& mail) {
    if (next)
        next->OnHeld(mailbox, mail);
}

void SDomainLearner::OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) {
    if (next)
        next->OnLeft(mailbox, mail, road);
    if (!outside || !LeftForItsRecipients(road))
        return;
    // Whatever happens in learning, the hold goes on.
    GuardedCall<int>(0, [&]() {
        CameBack(mail.composeWindow);
        std::vector<std::string> domains = outside(mail);
        if (!domains.empty())
            leaving.push_back(SLeaving{mail.composeWindow, std::move(domains), false});
        return 0;
    });
}

SDomainLearner::SLeaving* SDomainLearner::Find(SWindowId window) {
    for (SLeaving& entry : leaving) {
        if (entry.window == window)
            return &entry;
    }
    return nullptr;
}

void SDomainLearner::Sending(SWindowId window, std::vector<std::string> domains) {
    CameBack(window);
    leaving.push_back(SLeaving{window, std::move(domains), true});
}

void SDomainLearner::PassUsed(SWindowId window) {
    SLeaving* entry = Find(window);
    if (entry)
        entry->sending = true;
}

void SDomainLearner::CameBack(SWindowId window) {
    leaving.erase(
        std::remove_if(leaving.begin(), leaving.end(),
                       [window](const SLeaving& entry) { return entry.window == window; }),
        leaving.end());
}

void SDomainLearner::DropStillOpen(const std::function<bool(SWindowId)>& isOpen) {
    leaving.erase(std::remove_if(
                      leaving.begin(), leaving.end(),
                      [&](const SLeaving& entry) { return entry.sending && isOpen(entry.window); }),
                  leaving.end());
}

void SDomainLearner::OnWindowGone(SWindowId window) {
    if (next)
        next->OnWindowGone(window);
    SLeaving* entry = Find(window);
    if (!entry)
        return;
    SLeaving gone = std::move(*entry);
    CameBack(window);
    // A released message whose send never came did not leave.
    if (gone.sending && learn)
        GuardedCall<int>(0, [&]() {
            learn(gone.domains);
            return 0;
        });
}

bool SDomainLearner::LeftForItsRecipients(EHoldRoad road) {
    return road == EHoldRoad::SentNow || road == EHoldRoad::ReleasedByTimer ||
           road == EHoldRoad::SentAtExit;
}
