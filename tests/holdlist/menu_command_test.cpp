// The menu command: where it goes in the host's menu, and when it is enabled.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "delay/delay_logic.h"
#include "delay/delay_sender.h"
#include "plugin/velmora_logic.h"
#include "dialog_driver.h"
#include "hold_world.h"
#include "plugin/main_window.h"
#include "plugin/menu_command.h"
#include "plugin/plugin_entry.h"

namespace {

// Four submenus of six items each, like the host's main menu bar.
HMENU MakeMainMenu(int submenus = 4) {
    HMENU bar = CreateMenu();
    for (int i = 0; i < submenus; ++i) {
        HMENU popup = CreatePopupMenu();
        for (int item = 0; item < 6; ++item)
            AppendMenuA(popup, MF_STRING, 100 * (i + 1) + item, "item");
        AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "menu");
    }
    return bar;
}

std::string ItemText(HMENU menu, int position) {
    char text[256] = "";
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

class LogicScope {
  public:
    explicit LogicScope(VelmoraLogic* logic) { g_logic = logic; }
    ~LogicScope() { g_logic = nullptr; }
};

} // namespace

TEST(MenuCommand, InsertsTheCommandAndASeparatorAtPositionFourOfTheFourthSubmenu) {
    HoldWorld world;
    HMENU bar = MakeMainMenu();
    EXPECT_EQ(0, world.logic->OnMenuInit(nullptr, bar, 0));
    HMENU fourth = GetSubMenu(bar, 3);
    ASSERT_EQ(8, GetMenuItemCount(fourth));
    EXPECT_EQ(42u, GetMenuItemID(fourth, 4));
    EXPECT_EQ("保留メールの確認...", ItemText(fourth, 4));
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(fourth, 5, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_SEPARATOR);
    EXPECT_EQ(403u, GetMenuItemID(fourth, 3));
    EXPECT_EQ(404u, GetMenuItemID(fourth, 6));
    EXPECT_EQ(6, GetMenuItemCount(GetSubMenu(bar, 2)));

    EXPECT_EQ("保留メールの確認...", world.host.registered.caption);
    EXPECT_EQ(0, world.host.registered.target);
    EXPECT_EQ(HoldListCommand, world.host.registered.proc);
    EXPECT_EQ(42u, world.host.registered.stateCommand);
    EXPECT_EQ(HoldListCommandState, world.host.registered.stateProc);
    DestroyMenu(bar);
}

TEST(MenuCommand, OtherMenusAFailedRegistrationOrAMissingSubmenuAddNothing) {
    HoldWorld world;
    HMENU bar = MakeMainMenu();
    EXPECT_EQ(0, world.logic->OnMenuInit(nullptr, bar, 1));
    EXPECT_EQ(0, world.host.registered.calls);
    EXPECT_EQ(6, GetMenuItemCount(GetSubMenu(bar, 3)));

    world.host.registered.nextId = 0;
    EXPECT_EQ(0, world.logic->OnMenuInit(nullptr, bar, 0));
    EXPECT_EQ(1, world.host.registered.calls);
    EXPECT_EQ(6, GetMenuItemCount(GetSubMenu(bar, 3)));
    EXPECT_EQ(nullptr, world.host.registered.stateProc);
    DestroyMenu(bar);

    HMENU shortBar = MakeMainMenu(3);
    world.host.registered.nextId = 42;
    EXPECT_EQ(0, world.logic->OnMenuInit(nullptr, shortBar, 0));
    EXPECT_EQ(1, world.host.registered.calls);
    DestroyMenu(shortBar);
}

TEST(MenuCommand, StateFollowsTheCurrentMailboxWithOrWithoutTrailingBackslash) {
    EXPECT_EQ(1u, HoldListCommandState(42, 0)); // no logic object at all
    HoldWorld world;
    LogicScope scope(world.logic);
    EXPECT_EQ(1u, HoldListCommandState(42, 0)); // a sender, but nothing held
    world.Hold("1", "a@example.com");
    EXPECT_EQ(0u, HoldListCommandState(42, 0));
    world.host.mailbox = "Box1\\";
    EXPECT_EQ(0u, HoldListCommandState(42, 0));
    world.host.mailbox = "box1";
    EXPECT_EQ(1u, HoldListCommandState(42, 0));
    world.host.mailbox = "Box2";
    EXPECT_EQ(1u, HoldListCommandState(42, 0));

    // Before start and after exit there is no main-window hook.
    world.host.mailbox = "Box1";
    SMainWindow* hook = world.logic->mainWindow;
    world.logic->mainWindow = nullptr;
    EXPECT_EQ(1u, HoldListCommandState(42, 0));
    world.logic->mainWindow = hook;
}

TEST(MenuCommand, MailboxWithoutASenderOpensNothing) {
    HoldWorld world;
    world.Hold("1", "a@example.com");
    world.host.mailbox = "Box2";
    LogicScope scope(world.logic);
    bool opened = false;
    SDialogDriver driver(1500);
    driver.Then("no dialog appears", [&] {
        opened = opened || CountDialogs() > 0;
        return false;
    });
    HoldListCommand(nullptr, 0);
    // Give a wrongly opened dialog the chance to be seen by the timer.
    DWORD until = GetTickCount() + 100;
    MSG message;
    while (static_cast<LONG>(GetTickCount() - until) < 0) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(5);
    }
    EXPECT_FALSE(opened);
    EXPECT_EQ(0, (world.Paused() ? 1 : 0));
}
