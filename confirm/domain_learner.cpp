#include "confirm/domain_learner.h"

#include "support/guard.h"

SDomainLearner::SDomainLearner(SHoldObserver* next, Learn learn)
    : next(next), learn(std::move(learn)) {}

void SDomainLearner::OnHeld(const std::string& mailbox, const SDelayMail& mail) {
    if (next)
        next->OnHeld(mailbox, mail);
}

void SDomainLearner::OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) {
    if (next)
        next->OnLeft(mailbox, mail, road);
    // Whatever happens in learning, the hold goes on.
    if (learn && LeftForItsRecipients(road))
        GuardedCall<int>(0, [&]() {
            learn(mail);
            return 0;
        });
}

bool SDomainLearner::LeftForItsRecipients(EHoldRoad road) {
    return road == kRoadSentNow || road == kRoadTimer || road == kRoadExit;
}
