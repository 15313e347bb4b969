// The menu command that opens the hold list of the current mailbox.
#pragma once
#include <windows.h>

#include "host/mailbox_key.h"

struct SHostApi;

// Inserts the command into the fourth submenu of the host's main menu (type 0 only).
int InsertHoldListCommand(SHostApi* hostApi, HMENU menu, int type);

void WINAPI HoldListCommand(HWND window, LPARAM lParam);
UINT WINAPI HoldListCommandState(UINT commandId, LPARAM lParam);
