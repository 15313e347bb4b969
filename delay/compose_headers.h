// Reading a message's headers out of its compose window through the host.
#pragma once
#include <windows.h>

#include "delay/bcc_move.h"
#include "delay/delay_mail.h"

struct SHostApi;

extern const char kSubjectHeader[]; // "Subject"

// Subject, sender and the three recipient headers, each cut to the header buffer's size.
void ReadCapturedHeaders(const SHostApi* hostApi, HWND window, SCapturedHeaders* headers);

// Moves the outside recipients of To and Cc to the end of Bcc in the window, from the headers
// as just read from it. The three headers are written only for a whole move; when the host
// refuses one, those already written are put back.
SBccMove MoveComposeToBcc(const SHostApi* hostApi, HWND window, const SCapturedHeaders& headers,
                          const SDomainMatcher& matcher);

inline HWND WindowOf(SWindowId id) {
    return static_cast<HWND>(id);
}
