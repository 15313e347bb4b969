// The decision one send takes: held or sent at once, for how long, and the reason the log
// names. Free of the platform: the plug-in gathers the facts, this decides.
#pragma once

#include "delay/delay_mail.h"
#include "host/host_numbers.h"
#include "journal/hold_log_text.h"

class SSendRecipients;
class SStringList;

// The settings a send is classified and decided with, read once at the send.
struct SSendSettings {
    SHoldTimes times = {0, 0};
    const SStringList* innerDomains = nullptr;
    int innerDomainMatch = 0; // an EInnerDomainMatch
    bool ctrlBypass = true;   // Ctrl held at the send skips the hold
    bool identBypass = true;  // X-KRV-Ident asking for at once skips the hold
    bool confirms = false;    // the recipients are shown before the hold
};

// What a send knows besides its recipients.
struct SSendContext {
    int mode = kSendModeSend;
    bool releasePass = false; // the send a release of the plug-in posted
    bool ctrlDown = false;    // Ctrl was held at the send
    const char* ident = "";   // X-KRV-Ident as read
    SSendSettings settings;
};

struct SSendDecision {
    bool hold = false;
    int minutes = 0; // how long it is held; 0 when it goes at once
    EDecision reason = EDecision::Held;
};

// A send that is neither another mode nor a release's own: only such a send has its headers
// read, is shown and can be held.
bool IsFreshSend(const SSendContext& context);

// The first rule that decides: another mode than a send, a release's own send, Ctrl (where the
// settings let it), a number of 1 or more after the first comma of X-KRV-Ident (where they let
// it), and last the
// hold time of the recipients, the outer one when any of them is outside.
SSendDecision DecideSend(const SSendRecipients& recipients, const SSendContext& context);
