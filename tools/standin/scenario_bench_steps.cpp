// bench steps: how long the plug-in's callbacks take on the UI thread, under load.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/standin/console.h"
#include "tools/standin/dialog_driver.h"
#include "tools/standin/mail_client.h"
#include "tools/standin/scenario.h"
#include "tools/standin/timeline.h"
#include "tools/standin/virtual_clock.h"

namespace {

const int kHeaderLimit = 65535;
const int kRecipientsPerHeader = 667; // about 2,000 over To, Cc and Bcc

class Stopwatch {
  public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
    }
    double Milliseconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return (now.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
    }

  private:
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
};

void Report(const char* what, std::vector<double> samples) {
    if (samples.empty())
        return;
    double first = samples.front();
    std::sort(samples.begin(), samples.end());
    PrintLine("bench: %s: %u samples, first %.3f ms, best %.3f ms, median %.3f ms, worst %.3f ms",
              what, static_cast<unsigned>(samples.size()), first, samples.front(),
              samples[samples.size() / 2], samples.back());
}

// Display names padded so that the header reaches the limit with the given number of entries;
// unless allInner, every other recipient is outside the inner domains.
std::string RecipientHeader(const char* kind, int count, bool allInner) {
    std::string value;
    int room = kHeaderLimit / count - 2;
    for (int i = 0; i < count; ++i) {
        char address[128];
        if (i % 2 && !allInner)
            snprintf(address, sizeof(address), " <%s%04d@outer%03d.example.com>", kind, i, i % 50);
        else
            snprintf(address, sizeof(address), " <%s%04d@inner%03d.example>", kind, i, i % 100 + 1);
        std::string entry = "\"" + std::string(kind) + " recipient " + std::to_string(i);
        int pad = room - static_cast<int>(entry.size() + strlen(address) + 1);
        entry += std::string(pad > 0 ? pad : 0, '.') + "\"" + address;
        if (value.size() + entry.size() + 2 > static_cast<size_t>(kHeaderLimit))
            break;
        value += (value.empty() ? "" : ", ") + entry;
    }
    return value;
}

HeaderStore MaximalMessage(bool allInner) {
    HeaderStore headers;
    std::string from = "<sender@inner001.example>";
    headers.Set("From",
                ("\"" + std::string(kHeaderLimit - from.size() - 3, 'F') + "\" " + from).c_str());
    headers.Set("To", RecipientHeader("to", kRecipientsPerHeader, allInner).c_str());
    headers.Set("Cc", RecipientHeader("cc", kRecipientsPerHeader, allInner).c_str());
    headers.Set("Bcc", RecipientHeader("bcc", kRecipientsPerHeader, allInner).c_str());
    headers.Set("Subject", std::string(kHeaderLimit, 'S').c_str());
    return headers;
}

// bench outgoing <samples> [inner]: one maximal message per compose window, each held; with
// "inner" every recipient is inner, so the message is read and classified but not held.
StepResult Outgoing(ScenarioContext& context) {
    int samples = 0;
    if (!ParseInt(context.Word(2), &samples) || samples <= 0)
        return context.Fail("bench outgoing <samples> [inner]");
    bool allInner = context.Word(3) == "inner";
    HeaderStore headers = MaximalMessage(allInner);
    std::vector<double> times;
    int held = 0;
    bool quiet = IsLogQuiet();
    SetLogQuiet(true);
    for (int i = 0; i < samples; ++i) {
        ComposeWindow* compose =
            context.client->OpenCompose("max" + std::to_string(i), 0, headers, "bench");
        if (!compose)
            break;
        Stopwatch watch;
        int result = context.client->Plugin().OnOutgoing(compose->Handle(), 0);
        times.push_back(watch.Milliseconds());
        compose->lastOutgoing = result;
        held += result == -1 ? 1 : 0;
        if (result == 0)
            DestroyWindow(compose->Handle());
    }
    SetLogQuiet(quiet);
    PrintLine("bench: maximal message: five headers of %u, %u, %u, %u and %u bytes",
              static_cast<unsigned>(headers.Value("Subject").size()),
              static_cast<unsigned>(headers.Value("From").size()),
              static_cast<unsigned>(headers.Value("To").size()),
              static_cast<unsigned>(headers.Value("Cc").size()),
              static_cast<unsigned>(headers.Value("Bcc").size()));
    Report(allInner ? "BKC_OnOutgoing, maximal message, all inner (not held)"
                    : "BKC_OnOutgoing, maximal message, held",
           times);
    int expected = allInner ? 0 : samples;
    return context.Check(held == expected, "%d of %d maximal messages held, expected %d", held,
                         samples, expected);
}

// The confirmation's list painted for the first time: the dialog is on screen and filled.
// A hook on the dialog's own loop sees the list's WM_PAINT taken from the queue; the message
// posted then comes back only once that paint has been dispatched.
struct ConfirmWatch {
    HHOOK hook = nullptr;
    Stopwatch* watch = nullptr;
    HWND dialog = nullptr;
    double shownMs = -1;
    int rows = 0;
    bool tickAll = false; // once shown, tick every row and warning with the keyboard, timed
    double tickMs = 0;
    int ticked = 0;
    int redrawn = 0; // rows whose tick was to be painted right after it
    bool sendEnabled = false;
};

ConfirmWatch g_confirm;
const UINT kPaintedMessage = WM_APP + 0x3F0;

// Each row ticked as the list reports a Space on its focused row, the focus moved by the list
// (which tells the dialog) and scrolled into sight, and the list painted between two keys, as a
// user's keys would find it. Wine's own list view work for the key (several milliseconds a key)
// and the paint are left out: this times the dialog's handling of the tick.
void TickEveryRow(HWND dialog) {
    const int kList = 1063, kMassWarning = 1065, kSend = 1067;
    HWND list = GetDlgItem(dialog, kList);
    NMLVKEYDOWN key = {};
    key.hdr.hwndFrom = list;
    key.hdr.idFrom = kList;
    key.hdr.code = LVN_KEYDOWN;
    key.wVKey = VK_SPACE;
    for (int row = 0; row < g_confirm.rows; ++row) {
        LVITEMA item = {};
        item.stateMask = item.state = LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        ListView_EnsureVisible(list, row, FALSE);
        UpdateWindow(list);
        Stopwatch ticking;
        SendMessageA(dialog, WM_NOTIFY, kList, reinterpret_cast<LPARAM>(&key));
        g_confirm.tickMs += ticking.Milliseconds();
        // What waits to be painted must hold the row, or its new tick is never seen.
        RECT waiting = {}, shown = {};
        shown.left = LVIR_BOUNDS;
        GetUpdateRect(list, &waiting, FALSE);
        SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&shown));
        g_confirm.redrawn += waiting.top <= shown.top && waiting.bottom >= shown.bottom ? 1 : 0;
    }
    for (int row = 0; row < g_confirm.rows; ++row)
        g_confirm.ticked += DialogDriver::IsRowTicked(list, row) ? 1 : 0;
    HWND warning = GetDlgItem(dialog, kMassWarning);
    if (warning && IsWindowVisible(warning))
        SendMessageA(warning, BM_CLICK, 0, 0);
    g_confirm.sendEnabled = IsWindowEnabled(GetDlgItem(dialog, kSend)) != 0;
}

LRESULT CALLBACK WatchConfirmPaint(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && g_confirm.watch) {
        if (!g_confirm.dialog && message->message == WM_PAINT &&
            DialogDriver::IsListView(message->hwnd)) {
            HWND dialog = GetParent(message->hwnd);
            if (dialog && DialogDriver::WindowText(dialog) == "宛先確認") {
                g_confirm.dialog = dialog;
                g_confirm.rows =
                    static_cast<int>(SendMessageA(message->hwnd, LVM_GETITEMCOUNT, 0, 0));
                PostMessageA(dialog, kPaintedMessage, 0, 0);
            }
        } else if (message->message == kPaintedMessage && message->hwnd == g_confirm.dialog) {
            g_confirm.shownMs = g_confirm.watch->Milliseconds();
            if (g_confirm.tickAll)
                TickEveryRow(g_confirm.dialog);
            PostMessageA(g_confirm.dialog, WM_COMMAND, IDCANCEL, 0);
        } else if (!g_confirm.dialog && g_confirm.watch->Milliseconds() > 10000) {
            // Never painted: end it rather than hang the benchmark.
            HWND dialog = DialogDriver::FindDialog("宛先確認");
            if (dialog)
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
    }
    return CallNextHookEx(g_confirm.hook, code, wParam, lParam);
}

void RestartWithConfirm(MailClient* client, const char* mode) {
    WritePrivateProfileStringA("Option", "Confirm", mode, SettingsFilePath().c_str());
    client->ExitPlugin();
    client->RestartPlugin();
}

// bench confirm <samples>: with Confirm=1, from BKC_OnOutgoing of the maximal message to its
// confirmation on screen with every row filled; then cancelled. Confirm goes back to 0.
StepResult Confirm(ScenarioContext& context) {
    int samples = 0;
    if (!ParseInt(context.Word(2), &samples) || samples <= 0)
        return context.Fail("bench confirm <samples>");
    RestartWithConfirm(context.client, "1");
    HeaderStore headers = MaximalMessage(false);
    std::vector<double> times;
    int filled = 0, refused = 0, expectedRows = 3 * kRecipientsPerHeader;
    bool quiet = IsLogQuiet();
    SetLogQuiet(true);
    g_confirm.hook =
        SetWindowsHookExA(WH_GETMESSAGE, WatchConfirmPaint, nullptr, GetCurrentThreadId());
    for (int i = 0; i < samples && g_confirm.hook; ++i) {
        ComposeWindow* compose =
            context.client->OpenCompose("look" + std::to_string(i), 0, headers, "bench");
        if (!compose)
            break;
        Stopwatch watch;
        g_confirm.watch = &watch;
        g_confirm.dialog = nullptr;
        g_confirm.shownMs = -1;
        g_confirm.rows = 0;
        int result = context.client->Plugin().OnOutgoing(compose->Handle(), 0);
        g_confirm.watch = nullptr;
        if (g_confirm.shownMs >= 0)
            times.push_back(g_confirm.shownMs);
        filled += g_confirm.shownMs >= 0 && g_confirm.rows == expectedRows ? 1 : 0;
        refused += result == -1 ? 1 : 0;
        DestroyWindow(compose->Handle());
    }
    if (g_confirm.hook)
        UnhookWindowsHookEx(g_confirm.hook);
    g_confirm = ConfirmWatch();
    SetLogQuiet(quiet);
    RestartWithConfirm(context.client, "0");
    Report("confirmation of the maximal message on screen and filled", times);
    return context.Check(filled == samples && refused == samples,
                         "%d of %d confirmations shown with %d rows, %d cancelled", filled, samples,
                         expectedRows, refused);
}

// bench tick-all <rows>: with Confirm=2, a message of that many short recipients over To, Cc
// and Bcc; every row of its confirmation ticked with the Space key, timed; then cancelled.
StepResult TickAll(ScenarioContext& context) {
    int rows = 0;
    if (!ParseInt(context.Word(2), &rows) || rows <= 0 || rows > 15000)
        return context.Fail("bench tick-all <rows up to 15000>");
    RestartWithConfirm(context.client, "2");
    HeaderStore headers;
    const char* const kFields[] = {"To", "Cc", "Bcc"};
    for (int field = 0; field < 3; ++field) {
        std::string value;
        for (int i = field; i < rows; i += 3) {
            char address[32];
            snprintf(address, sizeof(address), "%s%c%04d@t.test", value.empty() ? "" : ", ",
                     'a' + field, i / 3);
            value += address;
        }
        headers.Set(kFields[field], value.c_str());
    }
    headers.Set("Subject", "tick-all");
    bool quiet = IsLogQuiet();
    SetLogQuiet(true);
    g_confirm.hook =
        SetWindowsHookExA(WH_GETMESSAGE, WatchConfirmPaint, nullptr, GetCurrentThreadId());
    ComposeWindow* compose = context.client->OpenCompose("tickall", 0, headers, "bench");
    Stopwatch watch;
    g_confirm.watch = &watch;
    g_confirm.tickAll = true;
    if (compose && g_confirm.hook)
        context.client->Plugin().OnOutgoing(compose->Handle(), 0);
    const ConfirmWatch seen = g_confirm;
    if (g_confirm.hook)
        UnhookWindowsHookEx(g_confirm.hook);
    g_confirm = ConfirmWatch();
    if (compose)
        DestroyWindow(compose->Handle());
    SetLogQuiet(quiet);
    RestartWithConfirm(context.client, "0");
    PrintLine("bench: ticking every row of %d: %.1f ms (dialog shown after %.1f ms)", seen.rows,
              seen.tickMs, seen.shownMs);
    return context.Check(
        seen.rows == rows && seen.ticked == rows && seen.redrawn == rows && seen.sendEnabled,
        "%d of %d rows shown, %d ticked, %d redrawn, send %s once the warning is ticked too",
        seen.rows, rows, seen.ticked, seen.redrawn, seen.sendEnabled ? "enabled" : "disabled");
}

struct SweepState {
    int count = 0;
    int cycles = 0;
    int cycle = 0;
    int firstWindow = 0; // index of this cycle's first window name
    bool waitingForSends = false;
    std::vector<double> noneDue;
    std::vector<double> allDue;
    int sentOnce = 0;
    int sentOther = 0;
};

SweepState g_sweep;

double TimedSweep(MailClient* client) {
    Stopwatch watch;
    client->Plugin().OnEveryMinute();
    return watch.Milliseconds();
}

bool HoldMany(ScenarioContext& context) {
    HeaderStore headers;
    headers.Set("From", "sender@inner001.example");
    headers.Set("To", "someone@outer.example.com");
    int held = 0;
    bool quiet = IsLogQuiet();
    SetLogQuiet(true);
    for (int i = 0; i < g_sweep.count; ++i) {
        headers.Set("Subject", ("sweep " + std::to_string(g_sweep.firstWindow + i)).c_str());
        ComposeWindow* compose = context.client->OpenCompose(
            "sweep" + std::to_string(g_sweep.firstWindow + i), 0, headers, "bench");
        if (compose && context.client->Plugin().OnOutgoing(compose->Handle(), 0) == -1)
            ++held;
    }
    SetLogQuiet(quiet);
    if (held != g_sweep.count)
        context.Fail("cycle %d: %d of %d messages held", g_sweep.cycle, held, g_sweep.count);
    return held == g_sweep.count;
}

// Every window of the cycle closed after exactly one send.
bool CycleSettled(ScenarioContext& context) {
    int open = 0;
    for (int i = 0; i < g_sweep.count; ++i) {
        ComposeWindow* compose =
            context.client->FindCompose("sweep" + std::to_string(g_sweep.firstWindow + i));
        open += compose && compose->IsAlive() ? 1 : 0;
    }
    if (open > 0)
        return false;
    for (int i = 0; i < g_sweep.count; ++i) {
        ComposeWindow* compose =
            context.client->FindCompose("sweep" + std::to_string(g_sweep.firstWindow + i));
        (compose && compose->sentCount == 1 ? g_sweep.sentOnce : g_sweep.sentOther)++;
    }
    return true;
}

// bench sweep <held> <cycles>: none due (20 sweeps), then all due (one sweep) per cycle.
StepResult Sweep(ScenarioContext& context) {
    if (context.firstCall) {
        g_sweep = SweepState();
        if (!ParseInt(context.Word(2), &g_sweep.count) ||
            !ParseInt(context.Word(3), &g_sweep.cycles) || g_sweep.count <= 0 ||
            g_sweep.cycles <= 0 || !VirtualClock::IsActive())
            return context.Fail("bench sweep <held> <cycles> (after clock virtual)");
    }
    if (g_sweep.waitingForSends) {
        if (!CycleSettled(context)) {
            if (context.Elapsed() < 300000)
                return kStepPending;
            return context.Fail("released messages were not all sent");
        }
        g_sweep.waitingForSends = false;
        g_sweep.firstWindow += g_sweep.count;
        if (++g_sweep.cycle == g_sweep.cycles) {
            Report("BKC_OnEveryMinute, held messages none due", g_sweep.noneDue);
            Report("BKC_OnEveryMinute, held messages all due", g_sweep.allDue);
            int total = g_sweep.count * g_sweep.cycles;
            return context.Check(g_sweep.sentOnce == total,
                                 "released messages sent exactly once: %d of %d", g_sweep.sentOnce,
                                 total);
        }
    }
    if (!HoldMany(context))
        return kStepFailed;
    for (int i = 0; i < 20; ++i)
        g_sweep.noneDue.push_back(TimedSweep(context.client));
    VirtualClock::AdvanceMilliseconds(10 * 60000);
    g_sweep.allDue.push_back(TimedSweep(context.client));
    g_sweep.waitingForSends = true;
    return kStepPending;
}

// bench start <samples>: BKC_OnExit, then BKC_OnStart timed: every source of the settings read
// and merged, the journal and the history opened.
StepResult Start(ScenarioContext& context) {
    int samples = 0;
    if (!ParseInt(context.Word(2), &samples) || samples <= 0)
        return context.Fail("bench start <samples>");
    std::vector<double> times;
    for (int i = 0; i < samples; ++i) {
        context.client->ExitPlugin();
        Stopwatch watch;
        context.client->RestartPlugin();
        times.push_back(watch.Milliseconds());
    }
    Report("BKC_OnStart, every source read", times);
    // The same sources read and merged alone: the settings list written to a file.
    typedef void(CALLBACK * ShowSettingsProc)(HWND, HINSTANCE, LPSTR, int);
    HMODULE module = GetModuleHandleA(context.client->Options().pluginPath.c_str());
    ShowSettingsProc show = reinterpret_cast<ShowSettingsProc>(
        module ? GetProcAddress(module, "ShowSettings") : nullptr);
    if (show) {
        std::string file = SettingsFolderFile("bench-settings.txt");
        std::vector<double> read;
        for (int i = 0; i < samples; ++i) {
            Stopwatch watch;
            show(nullptr, nullptr, &file[0], 0);
            read.push_back(watch.Milliseconds());
        }
        Report("every source read and merged, the settings list written", read);
    }
    return context.Check(context.client->Started(), "the plug-in started again");
}

StepResult Bench(ScenarioContext& context) {
    if (context.Word(1) == "start")
        return Start(context);
    if (context.Word(1) == "outgoing")
        return Outgoing(context);
    if (context.Word(1) == "sweep")
        return Sweep(context);
    if (context.Word(1) == "confirm")
        return Confirm(context);
    if (context.Word(1) == "tick-all")
        return TickAll(context);
    return context.Fail("bench outgoing|sweep|confirm|tick-all|start");
}

const StepCommand kCommands[] = {{"bench", Bench}};

} // namespace

const StepCommand* BenchSteps(int* count) {
    *count = sizeof(kCommands) / sizeof(kCommands[0]);
    return kCommands;
}
