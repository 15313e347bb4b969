#include "delay/send_decision.h"

#include <cstring>

#include "delay/recipient_class.h"
#include "support/int_parse.h"

namespace {

SSendDecision At(EDecision reason) {
    SSendDecision decision;
    decision.reason = reason;
    return decision;
}

bool IdentSends(const char* ident) {
    const char* comma = ident ? strchr(ident, ',') : nullptr;
    return comma && ParseDecimalInt(comma + 1) >= 1;
}

} // namespace

bool IsFreshSend(const SSendContext& context) {
    return context.mode == kSendModeSend && !context.releasePass;
}

SSendDecision DecideSend(const SSendRecipients& recipients, const SSendContext& context) {
    if (context.mode != kSendModeSend)
        return At(EDecision::NotASend);
    if (context.releasePass)
        return At(EDecision::ReleasedBefore);
    if (context.ctrlDown && context.settings.ctrlBypass)
        return At(EDecision::CtrlDown);
    if (IdentSends(context.ident))
        return At(EDecision::IdentHeader);
    const SHoldTimes& times = context.settings.times;
    const int minutes = recipients.outerCount > 0 ? times.outerMinutes : times.innerMinutes;
    if (minutes <= 0)
        // Not held with an outer time above 0: every recipient was inside.
        return At(times.outerMinutes > 0 ? EDecision::InsideZeroHold : EDecision::ZeroHold);
    SSendDecision held = At(EDecision::Held);
    held.hold = true;
    held.minutes = minutes;
    return held;
}
