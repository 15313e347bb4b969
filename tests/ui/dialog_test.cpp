// The dialog base, on the real text-entry template, driven from a thread timer.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "dialog_driver.h"
#include "res/resource.h"
#include "ui/dialog.h"

namespace {

const char kTemplateCaption[] = "組織内ドメインの編集";

// Answers commands from a table: the value OnCommand returns, and whether it ends the dialog.
class ScriptedDialog : public SDialog {
  public:
    ScriptedDialog() : SDialog(GetModuleHandleA(nullptr), nullptr, IDD_TEXT_EDIT, 0) {}

    int OnInitDialog(HWND window) override {
        initWindow = window;
        boundAtInit = this->window == window;
        initDone = true;
        return 1;
    }
    int OnSize(HWND, UINT, WPARAM, LPARAM lParam) override {
        if (initDone)
            sizesAfterInit.push_back(lParam);
        return 0;
    }
    int OnCommand(HWND window, int id, int, HWND) override {
        // The edit field's focus notifications are no part of the script.
        if (id != IDC_TEXT_EDIT)
            commands.push_back(id);
        if (ends.count(id))
            EndDialog(window, ends[id]);
        return answers.count(id) ? answers[id] : 0;
    }
    int DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (messages.empty())
            firstMessageBound = this->window == window;
        messages.push_back(message);
        return SDialog::DialogProc(window, message, wParam, lParam);
    }

    std::map<int, int> answers;
    std::map<int, int> ends;
    std::vector<int> commands;
    std::vector<UINT> messages;
    std::vector<LPARAM> sizesAfterInit;
    HWND initWindow = nullptr;
    bool boundAtInit = false;
    bool firstMessageBound = false;
    bool initDone = false;
};

// Opens a second dialog from its command 1001.
class OuterDialog : public ScriptedDialog {
  public:
    int OnCommand(HWND window, int id, int notifyCode, HWND control) override {
        if (id == 1001) {
            inner.ends[IDOK] = IDOK;
            inner.answers[IDOK] = 1;
            innerResult = inner.DoModal();
        }
        return ScriptedDialog::OnCommand(window, id, notifyCode, control);
    }
    ScriptedDialog inner;
    int innerResult = 0;
};

} // namespace

TEST(Dialog, BindsOnTheFirstMessageAndEndsWithTheValueGivenToEndDialog) {
    ScriptedDialog dialog;
    dialog.ends[IDOK] = IDOK;
    dialog.answers[IDOK] = 1;
    SDialogDriver driver;
    driver.Then("click OK", [] {
        HWND window = FindDialog(kTemplateCaption);
        if (window)
            PostClick(window, IDOK);
        return window != nullptr;
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    ASSERT_FALSE(dialog.messages.empty());
    // The object is bound before the dialog manager's first message reaches it.
    EXPECT_TRUE(dialog.firstMessageBound);
    EXPECT_NE(static_cast<UINT>(WM_INITDIALOG), dialog.messages.front());
    EXPECT_TRUE(dialog.boundAtInit);
    EXPECT_EQ(dialog.initWindow, dialog.window);
    EXPECT_EQ(IDOK, dialog.resultId);
}

TEST(Dialog, ResultIdTakesOnlyAcceptedStandardIds) {
    ScriptedDialog dialog;
    dialog.answers[IDYES] = 1;   // accepted, standard
    dialog.answers[1001] = 1;    // accepted, not a standard id
    dialog.answers[IDRETRY] = 0; // standard, not accepted
    dialog.ends[IDCANCEL] = 7;   // ends without accepting
    SDialogDriver driver;
    driver.Then("post the commands", [] {
        HWND window = FindDialog(kTemplateCaption);
        if (!window)
            return false;
        for (int id : {IDYES, 1001, IDRETRY, IDCANCEL})
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        return true;
    });
    EXPECT_EQ(7, dialog.DoModal());
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    EXPECT_EQ((std::vector<int>{IDYES, 1001, IDRETRY, IDCANCEL}), dialog.commands);
    EXPECT_EQ(IDYES, dialog.resultId);
}

TEST(Dialog, PostsOneSizeMessageWithTheOuterWindowSizeAfterInit) {
    ScriptedDialog dialog;
    dialog.ends[IDCANCEL] = IDCANCEL;
    RECT outer = {}, client = {};
    SDialogDriver driver;
    driver.Then("measure and close", [&] {
        HWND window = FindDialog(kTemplateCaption);
        if (!window || dialog.sizesAfterInit.empty())
            return false;
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        PostClick(window, IDCANCEL);
        return true;
    });
    dialog.DoModal();
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    ASSERT_EQ(1u, dialog.sizesAfterInit.size());
    LPARAM size = dialog.sizesAfterInit.front();
    EXPECT_EQ(outer.right - outer.left, LOWORD(size));
    EXPECT_EQ(outer.bottom - outer.top, HIWORD(size));
    // The caption makes the outer size differ from the client size.
    EXPECT_NE(client.bottom, HIWORD(size));
}

TEST(Dialog, NestedModalDialogsKeepTheirOwnBindings) {
    OuterDialog outer;
    outer.ends[IDOK] = IDOK;
    outer.answers[IDOK] = 1;
    HWND outerWindow = nullptr;
    SDialogDriver driver;
    driver
        .Then("open the inner dialog",
              [&] {
                  outerWindow = FindDialog(kTemplateCaption);
                  if (outerWindow)
                      PostMessageA(outerWindow, WM_COMMAND, 1001, 0);
                  return outerWindow != nullptr;
              })
        .Then("close the inner dialog",
              [&] {
                  if (!outer.inner.window || !IsWindowVisible(outer.inner.window))
                      return false;
                  PostClick(outer.inner.window, IDOK);
                  return true;
              })
        .Then("close the outer dialog", [&] {
            if (outer.innerResult == 0)
                return false;
            PostClick(outerWindow, IDOK);
            return true;
        });
    EXPECT_EQ(IDOK, outer.DoModal());
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    EXPECT_EQ(IDOK, outer.innerResult);
    EXPECT_EQ(outerWindow, outer.window);
    EXPECT_NE(nullptr, outer.inner.window);
    EXPECT_NE(outer.window, outer.inner.window);
    EXPECT_EQ((std::vector<int>{IDOK}), outer.inner.commands);
    EXPECT_EQ((std::vector<int>{1001, IDOK}), outer.commands);
}

TEST(Dialog, MissingTemplateReturnsMinusOneAndLeavesNothingPending) {
    ScriptedDialog missing;
    missing.templateId = 4321;
    EXPECT_EQ(-1, missing.DoModal());
    EXPECT_EQ(nullptr, missing.window);
    missing.SetCaption("unbound");

    // The next dialog binds to its own object, not to the failed one.
    ScriptedDialog next;
    next.ends[IDCANCEL] = IDCANCEL;
    SDialogDriver driver;
    driver.Then("close", [] {
        HWND window = FindDialog(kTemplateCaption);
        if (window)
            PostClick(window, IDCANCEL);
        return window != nullptr;
    });
    EXPECT_EQ(IDCANCEL, next.DoModal());
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    EXPECT_NE(nullptr, next.window);
    EXPECT_TRUE(missing.messages.empty());
}

TEST(Dialog, CaptionIconFromTheIconIdAndCaptionChangesWhileOpen) {
    ScriptedDialog dialog;
    dialog.iconId = IDI_VELMORA;
    dialog.ends[IDCANCEL] = IDCANCEL;
    std::string caption;
    HICON shown = nullptr;
    SDialogDriver driver;
    driver.Then("rename and close", [&] {
        HWND window = FindDialog(kTemplateCaption);
        if (!window)
            return false;
        dialog.SetCaption("変更後");
        caption = WindowText(window);
        shown = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
        PostClick(window, IDCANCEL);
        return true;
    });
    dialog.DoModal();
    EXPECT_FALSE(driver.TimedOut()) << driver.Waiting();
    EXPECT_EQ("変更後", caption);
    EXPECT_NE(nullptr, dialog.smallIcon);
    EXPECT_EQ(dialog.smallIcon, shown);
    EXPECT_EQ(nullptr, dialog.bigIcon);
}
