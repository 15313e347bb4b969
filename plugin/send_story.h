// One send, told in the order a user would explain it: the snapshot of its headers, the
// decision, the look at the recipients, and what is done.
#pragma once
#include <windows.h>

class VelmoraLogic;

// BKC_OnOutgoing: 0 lets the host send now; -1 keeps the message, held or refused at the look.
int TellSend(VelmoraLogic* logic, HWND compose, int mode);
