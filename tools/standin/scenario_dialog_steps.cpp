// dialog, msgbox and screenshot steps: the user working the plug-in's windows. Every wait has a
// timeout so that a dialog that never comes cannot hang a run.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tools/standin/console.h"
#include "tools/standin/dialog_driver.h"
#include "tools/standin/mail_client.h"
#include "tools/standin/scenario.h"
#include "tools/standin/timeline.h"

namespace {

const DWORD kDefaultTimeoutMs = 5000;

DWORD TimeoutAt(ScenarioContext& context, size_t index) {
    DWORD timeout = kDefaultTimeoutMs;
    if (!context.Word(index).empty())
        ParseDuration(context.Word(index), &timeout);
    return timeout;
}

HWND Control(ScenarioContext& context, size_t index, int* id) {
    if (!context.dialog || !IsWindow(context.dialog)) {
        context.Fail("no dialog: use dialog expect first");
        return nullptr;
    }
    if (!ParseInt(context.Word(index), id)) {
        context.Fail("expected a control id, got \"%s\"", context.Word(index).c_str());
        return nullptr;
    }
    HWND control = GetDlgItem(context.dialog, *id);
    if (!control)
        context.Fail("the dialog has no control %d", *id);
    return control;
}

StepResult ExpectDialog(ScenarioContext& context) {
    HWND dialog = DialogDriver::FindDialog(context.Word(2));
    if (dialog) {
        context.dialog = dialog;
        return context.Pass("dialog \"%s\" is open", DialogDriver::WindowText(dialog).c_str());
    }
    if (context.Elapsed() < TimeoutAt(context, 3))
        return kStepPending;
    return context.Fail("no dialog \"%s\" appeared", context.Word(2).c_str());
}

// dialog of <window> "<caption>": the one that window's send opened, under others or not.
StepResult ExpectOwned(ScenarioContext& context) {
    ComposeWindow* compose = context.client->FindCompose(context.Word(2));
    if (!compose)
        return context.Fail("no compose window named \"%s\"", context.Word(2).c_str());
    HWND dialog = DialogDriver::FindOwnedDialog(compose->Handle(), context.Word(3));
    if (dialog) {
        context.dialog = dialog;
        return context.Pass("dialog \"%s\" of %s is open", DialogDriver::WindowText(dialog).c_str(),
                            compose->Name().c_str());
    }
    if (context.Elapsed() < TimeoutAt(context, 4))
        return kStepPending;
    return context.Fail("no dialog \"%s\" of %s appeared", context.Word(3).c_str(),
                        compose->Name().c_str());
}

StepResult ExpectNone(ScenarioContext& context) {
    if (!DialogDriver::AnyDialogShown())
        return context.Pass("no dialog is open");
    if (context.Elapsed() < TimeoutAt(context, 2))
        return kStepPending;
    return context.Fail("a dialog is still open");
}

StepResult ExpectCaption(ScenarioContext& context) {
    if (!context.dialog || !IsWindow(context.dialog))
        return context.Fail("no dialog: use dialog expect first");
    std::string caption = DialogDriver::WindowText(context.dialog);
    return context.Check(caption == context.Word(2), "dialog caption is \"%s\"", caption.c_str());
}

StepResult Type(ScenarioContext& context) {
    int id = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(context.Word(3).c_str()));
    Log("dialog: typed \"%s\" into control %d", Abbreviate(context.Word(3)).c_str(), id);
    return kStepDone;
}

// Posted, not sent: the button may open a nested modal box, and the scenario must go on.
StepResult Click(ScenarioContext& context) {
    int id = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    if (!IsWindowEnabled(control))
        return context.Fail("control %d is disabled", id);
    Log("dialog: click \"%s\" (control %d)", DialogDriver::WindowText(control).c_str(), id);
    PostMessageA(control, BM_CLICK, 0, 0);
    return kStepDone;
}

StepResult SelectList(ScenarioContext& context) {
    int id = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    std::vector<int> rows;
    const std::string& list = context.Word(3);
    for (size_t at = 0; list != "none" && at < list.size();) {
        rows.push_back(atoi(list.c_str() + at));
        size_t comma = list.find(',', at);
        at = comma == std::string::npos ? list.size() : comma + 1;
    }
    DialogDriver::SelectRows(context.dialog, id, rows);
    Log("dialog: rows %s selected in control %d", list.c_str(), id);
    return kStepDone;
}

StepResult ExpectText(ScenarioContext& context) {
    int id = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    std::string text = DialogDriver::WindowText(control);
    const std::string expected = DialogDriver::Unescape(context.Word(3));
    return context.Check(text == expected, "control %d shows \"%s\" (expected \"%s\")", id,
                         Abbreviate(text).c_str(), Abbreviate(expected).c_str());
}

StepResult ExpectCell(ScenarioContext& context) {
    int id = 0, row = 0, column = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    if (!ParseInt(context.Word(3), &row) || !ParseInt(context.Word(4), &column))
        return context.Fail("dialog expect-cell <id> <row> <column> <text>");
    std::string text = DialogDriver::CellText(control, row, column);
    return context.Check(text == context.Word(5), "control %d row %d column %d is \"%s\"", id, row,
                         column, Abbreviate(text, 80).c_str());
}

StepResult ExpectRows(ScenarioContext& context) {
    int id = 0, expected = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    if (!ParseInt(context.Word(3), &expected))
        return context.Fail("dialog expect-rows <id> <count>");
    int rows = DialogDriver::RowCount(control);
    return context.Check(rows == expected, "control %d has %d rows, expected %d", id, rows,
                         expected);
}

// Rows of a list: "all", "none" or numbers joined by commas.
std::vector<int> Rows(HWND control, const std::string& list) {
    std::vector<int> rows;
    if (list == "all") {
        for (int row = 0; row < DialogDriver::RowCount(control); ++row)
            rows.push_back(row);
        return rows;
    }
    for (size_t at = 0; list != "none" && at < list.size();) {
        rows.push_back(atoi(list.c_str() + at));
        size_t comma = list.find(',', at);
        at = comma == std::string::npos ? list.size() : comma + 1;
    }
    return rows;
}

// dialog tick|untick <id> <rows>: a list's check boxes, or a check box button.
StepResult Tick(ScenarioContext& context, bool ticked) {
    int id = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    if (!DialogDriver::IsListView(control)) {
        if (!IsWindowEnabled(control))
            return context.Fail("control %d is disabled", id);
        bool now = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (now != ticked)
            PostMessageA(control, BM_CLICK, 0, 0);
        Log("dialog: %s control %d", ticked ? "tick" : "untick", id);
        return kStepDone;
    }
    for (int row : Rows(control, context.Word(3)))
        DialogDriver::SetRowTicked(control, row, ticked);
    Log("dialog: %s rows %s of control %d", ticked ? "tick" : "untick", context.Word(3).c_str(),
        id);
    return kStepDone;
}

StepResult TickRows(ScenarioContext& context) {
    return Tick(context, true);
}
StepResult UntickRows(ScenarioContext& context) {
    return Tick(context, false);
}

// dialog expect-ticked <id> <rows>: exactly those rows ticked; for a button, yes or no.
StepResult ExpectTicked(ScenarioContext& context) {
    int id = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    std::string ticked, expected = context.Word(3);
    if (!DialogDriver::IsListView(control)) {
        ticked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "yes" : "no";
    } else {
        for (int row = 0; row < DialogDriver::RowCount(control); ++row)
            if (DialogDriver::IsRowTicked(control, row))
                ticked += (ticked.empty() ? "" : ",") + std::to_string(row);
        if (ticked.empty())
            ticked = "none";
        if (expected == "all" && DialogDriver::RowCount(control) > 0) {
            expected.clear();
            for (int row : Rows(control, "all"))
                expected += (expected.empty() ? "" : ",") + std::to_string(row);
        }
    }
    return context.Check(ticked == expected, "control %d ticked: %s (expected %s)", id,
                         Abbreviate(ticked).c_str(), context.Word(3).c_str());
}

// dialog expect-state <id> enabled|disabled|hidden
StepResult ExpectState(ScenarioContext& context) {
    int id = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    const char* state = !IsWindowVisible(control)  ? "hidden"
                        : IsWindowEnabled(control) ? "enabled"
                                                   : "disabled";
    return context.Check(context.Word(3) == state, "control %d is %s (expected %s)", id, state,
                         context.Word(3).c_str());
}

// dialog key <id> enter|esc|space: pressed with the focus on that control.
StepResult Key(ScenarioContext& context) {
    int id = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    const std::string& name = context.Word(3);
    UINT key = name == "enter"   ? VK_RETURN
               : name == "esc"   ? VK_ESCAPE
               : name == "space" ? VK_SPACE
               : name == "down"  ? VK_DOWN
                                 : 0;
    if (!key)
        return context.Fail("dialog key <id> enter|esc|space|down");
    DialogDriver::PressKey(control, key);
    Log("dialog: key %s on control %d", name.c_str(), id);
    return kStepDone;
}

StepResult ColumnWidth(ScenarioContext& context, bool set) {
    int id = 0, column = 0, width = 0;
    HWND control = Control(context, 2, &id);
    if (!control)
        return kStepFailed;
    if (!ParseInt(context.Word(3), &column) || !ParseInt(context.Word(4), &width))
        return context.Fail("dialog column-width <id> <column> <pixels>");
    if (set) {
        SendMessageA(control, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
        Log("dialog: column %d of control %d resized to %d px", column, id, width);
        return kStepDone;
    }
    int actual = static_cast<int>(SendMessageA(control, LVM_GETCOLUMNWIDTH, column, 0));
    return context.Check(actual == width, "column %d of control %d is %d px, expected %d", column,
                         id, actual, width);
}

StepResult SetColumnWidth(ScenarioContext& context) {
    return ColumnWidth(context, true);
}
StepResult ExpectColumnWidth(ScenarioContext& context) {
    return ColumnWidth(context, false);
}

struct DialogCommand {
    const char* what;
    StepHandler handler;
};

const DialogCommand kDialogCommands[] = {
    {"expect", ExpectDialog},
    {"expect-none", ExpectNone},
    {"of", ExpectOwned},
    {"expect-caption", ExpectCaption},
    {"type", Type},
    {"click", Click},
    {"select-list", SelectList},
    {"expect-text", ExpectText},
    {"expect-cell", ExpectCell},
    {"expect-rows", ExpectRows},
    {"column-width", SetColumnWidth},
    {"expect-column-width", ExpectColumnWidth},
    {"tick", TickRows},
    {"untick", UntickRows},
    {"expect-ticked", ExpectTicked},
    {"expect-state", ExpectState},
    {"key", Key},
};

StepResult Dialog(ScenarioContext& context) {
    for (const DialogCommand& command : kDialogCommands)
        if (context.Word(1) == command.what)
            return command.handler(context);
    return context.Fail("unknown dialog step \"%s\"", context.Word(1).c_str());
}

// msgbox expect "<text>" [caption "<caption>"] [timeout] | msgbox contains "<text>"
// | msgbox answer yes|no|ok|cancel|enter
StepResult MessageBoxStep(ScenarioContext& context) {
    if (context.Word(1) == "expect") {
        std::string text = DialogDriver::Unescape(context.Word(2));
        bool hasCaption = context.Word(3) == "caption";
        HWND box = DialogDriver::FindMessageBox(text);
        if (box) {
            context.messageBox = box;
            std::string caption = DialogDriver::WindowText(box);
            return context.Check(!hasCaption || caption == context.Word(4),
                                 "message box \"%s\" with caption \"%s\"", context.Word(2).c_str(),
                                 caption.c_str());
        }
        if (context.Elapsed() < TimeoutAt(context, hasCaption ? 5 : 3))
            return kStepPending;
        return context.Fail("no message box \"%s\" appeared", context.Word(2).c_str());
    }
    if (context.Word(1) == "contains") {
        HWND box = context.messageBox;
        if (!box || !IsWindow(box))
            return context.Fail("no open message box: use msgbox expect first");
        // Printed whole, so that a test can count what the box names.
        const std::string text = DialogDriver::WindowText(GetDlgItem(box, 0xFFFF));
        PrintLine("msgbox text: %s", text.c_str());
        const std::string part = DialogDriver::Unescape(context.Word(2));
        return context.Check(text.find(part) != std::string::npos,
                             "message box text contains \"%s\"", context.Word(2).c_str());
    }
    if (context.Word(1) == "answer" && context.Word(2) == "enter") {
        // A stray Enter: the box's own key handling picks the button, as for the user.
        HWND box = context.messageBox;
        if (!box || !IsWindow(box))
            return context.Fail("no open message box: use msgbox expect first");
        HWND focus = GetFocus();
        if (!focus || !IsChild(box, focus)) {
            // A window of another program may hold the display's focus; the user's Enter goes
            // to the box once it is active again, and the box gives the focus back to its button.
            SetActiveWindow(box);
            focus = GetFocus();
        }
        Log("msgbox: user presses Enter");
        PostMessageA(focus && IsChild(box, focus) ? focus : box, WM_KEYDOWN, VK_RETURN, 0);
        context.messageBox = nullptr;
        return kStepDone;
    }
    if (context.Word(1) == "answer") {
        const std::string& answer = context.Word(2);
        int id = answer == "yes"      ? IDYES
                 : answer == "no"     ? IDNO
                 : answer == "ok"     ? IDOK
                 : answer == "cancel" ? IDCANCEL
                                      : 0;
        HWND box = context.messageBox;
        HWND button = box && IsWindow(box) ? GetDlgItem(box, id) : nullptr;
        if (!button)
            return context.Fail("no open message box with a %s button", answer.c_str());
        Log("msgbox: user answers %s", answer.c_str());
        PostMessageA(button, BM_CLICK, 0, 0);
        context.messageBox = nullptr;
        return kStepDone;
    }
    return context.Fail("msgbox expect|contains|answer");
}

// The picture is taken outside: the line below tells the demo script, which answers by
// creating <name>.done in the shots folder.
StepResult Screenshot(ScenarioContext& context) {
    if (context.firstCall) {
        // The topmost dialog's rectangle comes first, on its own line, so that the picture can
        // be cropped to it; "SCREENSHOT <name>" stays the whole line that scripts wait for.
        HWND dialog = DialogDriver::TopDialog();
        RECT box;
        if (dialog && GetWindowRect(dialog, &box))
            PrintLine("DIALOG-AREA %s %ldx%ld+%ld+%ld", context.Word(1).c_str(),
                      box.right - box.left, box.bottom - box.top, box.left, box.top);
        PrintLine("SCREENSHOT %s", context.Word(1).c_str());
    }
    if (context.shotsFolder.empty())
        return kStepDone;
    std::string done = context.shotsFolder + "\\" + context.Word(1) + ".done";
    if (GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES)
        return kStepDone;
    if (context.Elapsed() < 15000)
        return kStepPending;
    Log("screenshot %s: nobody answered, going on", context.Word(1).c_str());
    return kStepDone;
}

const StepCommand kCommands[] = {
    {"dialog", Dialog}, {"msgbox", MessageBoxStep}, {"screenshot", Screenshot}};

} // namespace

const StepCommand* DialogSteps(int* count) {
    *count = sizeof(kCommands) / sizeof(kCommands[0]);
    return kCommands;
}
