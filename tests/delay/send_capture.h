// A send captured as the plug-in captures one, without a window: classified once, decided,
// and recorded.
#pragma once

#include "delay/delay_mail.h"
#include "delay/recipient_class.h"
#include "delay/send_decision.h"

// True when the message is to be held; the record is filled either way.
inline bool CaptureSend(SDelayMail* mail, SWindowId window, SCapturedHeaders* headers,
                        const SStringList* innerDomains, const SHoldTimes& times,
                        const SLocalTime& now, int match = kMatchSubstring) {
    SSendContext context;
    context.settings.times = times;
    SSendRecipients recipients;
    recipients.Classify(headers, SDomainMatcher(innerDomains, match), false);
    const SSendDecision decision = DecideSend(recipients, context);
    mail->Capture(window, headers, &recipients, decision.minutes, now);
    return decision.hold;
}
