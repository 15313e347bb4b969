#include "confirm/domain_learner.h"

#include <algorithm>

#include "confirm/confirm_rows.h"
#include "confirm/domain_history_store.h"
#include "delay/clock.h"
#include "delay/recipient_class.h"
#include "settings/local_setting.h"
#include "support/guard.h"

SDomainLearner::SDomainLearner(SHoldObserver* next, const LocalSetting* settings,
                               SDomainHistoryStore* history)
    : next(next), settings(settings), history(history) {}

bool SDomainLearner::Keeps() const {
    return settings && history && settings->Int(EKeyId::Confirm) != kConfirmNever;
}

const SDomainHistory* SDomainLearner::LoadHistory() {
    if (!Keeps())
        return nullptr;
    history->Load();
    return history->History();
}

std::vector<std::string> SDomainLearner::OutsideDomainsOf(const SDelayMail& mail) const {
    // Nothing is learned while confirmation is off: the sweep's releases stay cheap.
    if (!Keeps())
        return std::vector<std::string>();
    const SDomainMatcher matcher(&settings->List(EKeyId::InnerDomains),
                                 settings->Int(EKeyId::InnerDomainMatch));
    return OutsideDomains(mail.to, mail.cc, mail.bcc, matcher);
}

void SDomainLearner::Learn(const std::vector<std::string>& domains) {
    if (!Keeps())
        return;
    history->Load();
    history->Learn(domains, CurrentLocalTime());
}

void SDomainLearner::OnHeld(const std::string& mailbox, const SDelayMail& mail) {
    if (next)
        next->OnHeld(mailbox, mail);
}

void SDomainLearner::OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) {
    if (next)
        next->OnLeft(mailbox, mail, road);
    if (!LeftForItsRecipients(road))
        return;
    // Whatever happens in learning, the hold goes on.
    GuardedCall<int>(0, [&]() {
        CameBack(mail.composeWindow);
        std::vector<std::string> domains = OutsideDomainsOf(mail);
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
    if (gone.sending)
        GuardedCall<int>(0, [&]() {
            Learn(gone.domains);
            return 0;
        });
}

bool SDomainLearner::LeftForItsRecipients(EHoldRoad road) {
    return road == EHoldRoad::SentNow || road == EHoldRoad::ReleasedByTimer ||
           road == EHoldRoad::SentAtExit;
}
