#include "delay/hold_events.h"

#include <algorithm>

#include "delay/recipient_class.h"
#include "journal/event_log.h"
#include "support/guard.h"

namespace {

// Replaced: the fresh decision on the same window is told instead.
bool RoadEvent(EHoldRoad road, EEventId* id) {
    switch (road) {
    case EHoldRoad::SentNow:
        *id = EEventId::SentNowFromList;
        return true;
    case EHoldRoad::ReleasedByTimer:
        *id = EEventId::ReleasedByTimer;
        return true;
    case EHoldRoad::SentAtExit:
        *id = EEventId::ReleasedAtExit;
        return true;
    case EHoldRoad::ReleasedForEdit:
    case EHoldRoad::TakenBack:
        *id = EEventId::TakenBack;
        return true;
    case EHoldRoad::Forgotten:
        *id = EEventId::ClosedWhileHeld;
        return true;
    case EHoldRoad::Replaced:
        break;
    }
    return false;
}

SOutsideRecipients OutsideOf(const SDelayMail& mail) {
    SOutsideRecipients outside;
    outside.count = mail.outerCount;
    outside.domains = mail.outerDomains;
    outside.moreDomains = mail.outerDomainsCut;
    return outside;
}

// The roads whose release posts the message's send.
bool PostsASend(EHoldRoad road) {
    return road == EHoldRoad::SentNow || road == EHoldRoad::ReleasedByTimer ||
           road == EHoldRoad::SentAtExit || road == EHoldRoad::ReleasedForEdit;
}

} // namespace

SHoldEvents::SHoldEvents(SHoldObserver* next, HeldCountChanged changed)
    : next(next), changed(std::move(changed)), held(0), quiet(false) {}

// Whatever happens here, the hold goes on.
void SHoldEvents::Tell(EEventId id, const SDelayMail& mail, int holdMinutes) {
    if (quiet || !EventWanted(id))
        return;
    GuardedCall<int>(0, [&]() {
        LogEvent(id, DecisionEventText(id, OutsideOf(mail), holdMinutes));
        return 0;
    });
}

void SHoldEvents::OnHeld(const std::string& mailbox, const SDelayMail& mail) {
    ++held;
    Tell(EEventId::Held, mail, mail.holdMinutes);
    if (next)
        next->OnHeld(mailbox, mail);
    if (changed)
        changed(held);
}

void SHoldEvents::OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) {
    held = held > 0 ? held - 1 : 0;
    EEventId id = EEventId::Held;
    if (!quiet && RoadEvent(road, &id) && EventWanted(id)) {
        GuardedCall<int>(0, [&]() {
            SOutsideRecipients recipients = OutsideOf(mail);
            LogEvent(id, DecisionEventText(id, recipients));
            if (PostsASend(road)) {
                Forget(mail.composeWindow);
                released.push_back(SReleased{mail.composeWindow, std::move(recipients)});
            }
            return 0;
        });
    }
    if (next)
        next->OnLeft(mailbox, mail, road);
    if (changed)
        changed(held);
}

void SHoldEvents::OnWindowGone(SWindowId window) {
    Forget(window);
    if (next)
        next->OnWindowGone(window);
}

void SHoldEvents::SentAtOnce(EDecision reason, const SSendRecipients& recipients) {
    EEventId id = EEventId::SentZeroHold;
    switch (reason) {
    case EDecision::CtrlDown:
        id = EEventId::SentCtrl;
        break;
    case EDecision::IdentHeader:
        id = EEventId::SentIdent;
        break;
    case EDecision::InsideZeroHold:
        id = EEventId::SentInside;
        break;
    case EDecision::ZeroHold:
        break;
    case EDecision::Held:
    case EDecision::NotASend:
    case EDecision::ReleasedBefore:
        return;
    }
    if (quiet || !EventWanted(id))
        return;
    GuardedCall<int>(0, [&]() {
        SOutsideRecipients outside;
        outside.count = recipients.outerCount;
        outside.domains = recipients.outerDomains.Names();
        outside.moreDomains = recipients.outerDomains.Cut();
        LogEvent(id, DecisionEventText(id, outside));
        return 0;
    });
}

void SHoldEvents::PassUsed(SWindowId window) {
    auto found = std::find_if(released.begin(), released.end(),
                              [window](const SReleased& entry) { return entry.window == window; });
    if (found == released.end())
        return;
    if (!quiet && EventWanted(EEventId::SentReleased)) {
        GuardedCall<int>(0, [&]() {
            LogEvent(EEventId::SentReleased,
                     DecisionEventText(EEventId::SentReleased, found->outside));
            return 0;
        });
    }
    released.erase(found);
}

void SHoldEvents::Forget(SWindowId window) {
    released.erase(
        std::remove_if(released.begin(), released.end(),
                       [window](const SReleased& entry) { return entry.window == window; }),
        released.end());
}
