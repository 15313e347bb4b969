#include "host/menu_command.h"

#include "delay/delay_logic.h"
#include "delay/delay_sender.h"
#include "delay/velmora_logic.h"
#include "holdlist/delay_list_form.h"
#include "host/host_api.h"
#include "host/plugin_entry.h"

namespace {

const char kHoldListCaption[] = "保留メールの確認...";
const int kCommandSubmenu = 3;
const UINT kCommandPosition = 4;

// The current mailbox's sender, or null before start, after exit or when that mailbox has
// held nothing yet.
SDelaySenderLogic* CurrentSender(char* key) {
    if (!g_logic || !g_logic->mainWindow || !g_logic->delayLogic)
        return nullptr;
    FormMailboxKey(g_logic->HostApi(), key);
    return g_logic->delayLogic->FindSender(key);
}

void ShowHoldList(HWND window) {
    char key[kMailboxKeySize];
    SDelaySenderLogic* sender = CurrentSender(key);
    if (!sender)
        return;
    // The list's rows must not be released under the user.
    sender->paused = 1;
    SDelayListForm* form = nullptr;
    try {
        form = new SDelayListForm(g_logic->Instance(), window);
        form->logic = g_logic;
        form->hostApi = g_logic->HostApi();
        form->settings = g_logic->settings;
        form->SetMailboxPath(key);
        form->DoModal();
    } catch (...) {
    }
    delete form;
    // Looked up again: the dialog's nested message loop may have let the queue change.
    if (g_logic && g_logic->delayLogic) {
        SDelaySenderLogic* after = g_logic->delayLogic->FindSender(key);
        if (after)
            after->paused = 0;
    }
}

} // namespace

int InsertHoldListCommand(SHostApi* hostApi, HMENU menu, int type) {
    if (type != 0 || !hostApi || !hostApi->BKA_RegisterCommand)
        return 0;
    HMENU submenu = GetSubMenu(menu, kCommandSubmenu);
    if (!submenu)
        return 0;
    UINT commandId = hostApi->BKA_RegisterCommand(kHoldListCaption, 0, HoldListCommand);
    if (commandId == 0)
        return 0;
    BOOL inserted = InsertMenuA(submenu, kCommandPosition, MF_BYPOSITION | MF_STRING, commandId,
                                kHoldListCaption);
    if (inserted == 1)
        inserted =
            InsertMenuA(submenu, kCommandPosition + 1, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    if (inserted && hostApi->BKA_RegisterUICallback)
        hostApi->BKA_RegisterUICallback(commandId, HoldListCommandState);
    return 0;
}

void WINAPI HoldListCommand(HWND window, LPARAM) {
    try {
        ShowHoldList(window);
    } catch (...) {
    }
}

UINT WINAPI HoldListCommandState(UINT, LPARAM) {
    try {
        char key[kMailboxKeySize];
        SDelaySenderLogic* sender = CurrentSender(key);
        return sender && sender->GetCount() > 0 ? 0 : 1;
    } catch (...) {
        return 1;
    }
}

int VelmoraLogic::OnMenuInit(HWND, HMENU menu, int type) {
    return InsertHoldListCommand(hostApi, menu, type);
}
