// Reading a message's headers out of its compose window through the host.
#pragma once
#include <windows.h>

#include "delay/delay_mail.h"

struct SHostApi;

extern const char kSubjectHeader[]; // "Subject"

// Subject, sender and the three recipient headers, each cut to the header buffer's size.
void ReadCapturedHeaders(const SHostApi* hostApi, HWND window, SCapturedHeaders* headers);

inline HWND WindowOf(SWindowId id) {
    return static_cast<HWND>(id);
}
