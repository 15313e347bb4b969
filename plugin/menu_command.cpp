#include "plugin/menu_command.h"

#include "delay/delay_logic.h"
#include "plugin/velmora_logic.h"
#include "holdlist/delay_list_form.h"
#include "host/host_api.h"
#include "plugin/plugin_entry.h"
#include "settings/local_setting.h"
#include "support/guard.h"

namespace {

const char kHoldListCaption[] = "保留メールの確認...";
const int kCommandSubmenu = 3;
const UINT kCommandPosition = 4;

// The hold queue when the current mailbox has held something, or null before start, after
// exit or when that mailbox never held a message.
SDelayLogic* QueueWithSender(char* key) {
    if (!g_logic || !g_logic->mainWindow || !g_logic->delayLogic)
        return nullptr;
    FormMailboxKey(g_logic->HostApi(), key);
    return g_logic->delayLogic->FindSender(key) ? g_logic->delayLogic : nullptr;
}

void ShowHoldList(HWND window) {
    char key[kMailboxKeySize];
    SDelayLogic* queue = QueueWithSender(key);
    if (!queue)
        return;
    // The list's rows must not be released under the user, however the dialog ends.
    SHoldPause pause(queue, key);
    SDelayListForm form(g_logic->Instance(), window);
    form.pause = &pause;
    form.hostApi = g_logic->HostApi();
    form.settings = g_logic->settings;
    form.SetMailboxPath(key);
    form.DoModal();
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
    GuardedCall<int>(0, [&]() {
        ShowHoldList(window);
        return 0;
    });
}

UINT WINAPI HoldListCommandState(UINT, LPARAM) {
    return GuardedCall<UINT>(1, [&]() -> UINT {
        char key[kMailboxKeySize];
        SDelayLogic* queue = QueueWithSender(key);
        return queue && queue->HeldCount(key) > 0 ? 0 : 1;
    });
}
