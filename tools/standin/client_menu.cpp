#include "tools/standin/client_menu.h"

namespace {

struct MenuEntry {
    UINT id; // 0 for a separator
    const char* text;
};

HMENU MakePopup(const MenuEntry* entries, int count) {
    HMENU popup = CreatePopupMenu();
    for (int i = 0; i < count; ++i) {
        if (entries[i].id == 0)
            AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(popup, MF_STRING, entries[i].id, entries[i].text);
    }
    return popup;
}

#define POPUP(entries) MakePopup(entries, sizeof(entries) / sizeof(entries[0]))

const MenuEntry kFile[] = {{10001, "新規作成(&N)"},
                           {10002, "受信(&R)"},
                           {10003, "送信(&S)"},
                           {0, nullptr},
                           {kExitCommand, "終了(&X)"}};
const MenuEntry kEdit[] = {
    {11001, "コピー(&C)"}, {11002, "貼り付け(&P)"}, {11003, "すべて選択(&A)"}};
const MenuEntry kView[] = {{12001, "ツールバー(&T)"}, {12002, "ステータスバー(&S)"}};
// The plug-in inserts its command at position 4 of this, the fourth popup.
const MenuEntry kTools[] = {{13001, "アドレス帳(&A)"},
                            {13002, "振り分け設定(&F)"},
                            {13003, "テンプレート(&T)"},
                            {13004, "メールボックスの設定(&M)"},
                            {kSetupCommand, "プラグインの設定..."},
                            {13005, "オプション(&O)"}};
const MenuEntry kHelp[] = {{14001, "バージョン情報(&A)"}};
const MenuEntry kContext[] = {{15001, "返信(&R)"}, {15002, "転送(&F)"}};

} // namespace

ClientMenu::ClientMenu() : bar(nullptr), context(POPUP(kContext)), nextId(kFirstPluginCommand) {}

ClientMenu::~ClientMenu() {
    DestroyMenu(context);
}

HMENU ClientMenu::BuildBar() {
    bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(POPUP(kFile)), "ファイル(&F)");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(POPUP(kEdit)), "編集(&E)");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(POPUP(kView)), "表示(&V)");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(POPUP(kTools)), "ツール(&T)");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(POPUP(kHelp)), "ヘルプ(&H)");
    return bar;
}

UINT ClientMenu::Register(LPCSTR caption, int target, HostCommandProc handler) {
    if (!caption || !handler)
        return 0;
    PluginCommand command = {nextId++, caption, target, handler, nullptr};
    commands.push_back(command);
    return command.id;
}

bool ClientMenu::SetStateCallback(UINT id, HostCommandStateProc callback) {
    for (PluginCommand& command : commands)
        if (command.id == id) {
            command.stateCallback = callback;
            return true;
        }
    return false;
}

const PluginCommand* ClientMenu::Find(UINT id) const {
    for (const PluginCommand& command : commands)
        if (command.id == id)
            return &command;
    return nullptr;
}

const PluginCommand* ClientMenu::Last() const {
    return commands.empty() ? nullptr : &commands.back();
}

void ClientMenu::RefreshStates(HMENU popup) const {
    for (const PluginCommand& command : commands) {
        if (!command.stateCallback || GetMenuState(popup, command.id, MF_BYCOMMAND) == 0xFFFFFFFF)
            continue;
        UINT state = command.stateCallback(command.id, 0);
        EnableMenuItem(popup, command.id, MF_BYCOMMAND | (state == 0 ? MF_ENABLED : MF_GRAYED));
    }
}

bool ClientMenu::IsGrayed(UINT id) const {
    UINT state = GetMenuState(Tools(), id, MF_BYCOMMAND);
    return state != 0xFFFFFFFF && (state & MF_GRAYED) != 0;
}
