#include "tools/standin/random_run.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "tools/standin/console.h"
#include "tools/standin/dialog_driver.h"
#include "tools/standin/mail_client.h"
#include "tools/standin/scenario.h"
#include "tools/standin/virtual_clock.h"

namespace {

const UINT kResume = WM_APP + 40;
// Starts the plug-in again from the client's own loop, where its notice can be answered.
const UINT kRestart = WM_APP + 41;
const UINT_PTR kIdleTimer = 1;
const char kResumeClass[] = "ZvHostRandomDriver";
const char kExitQuestion[] = "送信保留メールが残っているため終了できません。";
const char kHoldList[] = "送信保留リスト";
const char kSetup[] = "Velmora";
const char kNoneSelected[] = "メールが選択されていません";
const char kNothingHeld[] = "送信保留中のメールはありません";
const char kSendFailed[] = "メールを送信できませんでした";
const char kStopQuestion[] = "送信を中止しますか？";
const char kNoLongerHeld[] = "選択したメールはすでに送信保留中ではありません。";
const char kLostNotice[] =
    "前回、メールクライアントが正常に終了しなかったか、保留中のメールを残したまま"
    "Velmora が終了したため、次の ";
const int kListView = 1027, kSendNow = 1026, kDomains = 1001;
const int kClockSteps[] = {1, 5, 10, 20, 30, 45, 59, 60, 61, 90, 119, 120, 121, 180, 300, 301, 600};
const char kConfirm[] = "宛先確認";
const char kConfirmSetup[] = "宛先確認の設定";
const int kConfirmList = 1063, kConfirmSend = 1067, kConfirmButton = 1008, kConfirmOff = 1050;
const int kConfirmAllInside = 1064;

// Kind names for --ops, the letter that starts the operation, and its weight.
struct Kind {
    const char* name;
    int weight;
};
const Kind kKinds[] = {{"open", 9},  {"unannounced", 4}, {"send", 14}, {"ctrl", 3},
                       {"ident", 3}, {"cancel", 5},      {"close", 3}, {"destroy", 2},
                       {"show", 3},  {"clock", 18},      {"list", 7},  {"nested", 1},
                       {"setup", 3}, {"wide", 1},        {"exit", 4},  {"end", 1}};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t at = 0;
    for (size_t next; (next = text.find(separator, at)) != std::string::npos; at = next + 1)
        parts.push_back(text.substr(at, next - at));
    parts.push_back(text.substr(at));
    return parts;
}

int Num(const std::vector<std::string>& f, size_t i) {
    return i < f.size() ? atoi(f[i].c_str()) : 0;
}
char Letter(const std::vector<std::string>& f, size_t i) {
    return i < f.size() && !f[i].empty() ? f[i][0] : '?';
}

void SetRecipients(HeaderStore& headers, char kind, int id) {
    std::string n = std::to_string(id);
    const char* to = kind == 'i'   ? "a@inner.example"
                     : kind == 'c' ? "c@corp.example"
                                   : "b@outer.example.com";
    headers.Set("To", (std::string(to, 1) + n + (to + 1)).c_str());
    headers.Set("Cc", kind == 'm' ? ("d" + n + "@inner.example").c_str() : "");
}

// Typed as a Japanese input method gives digits when asked: full-width.
std::string Typed(int value, bool wide) {
    std::string text = std::to_string(value);
    if (!wide)
        return text;
    std::string result;
    for (char digit : text) {
        result += '\x82';
        result += static_cast<char>(0x4F + (digit - '0'));
    }
    return result;
}

std::set<HWND> g_clickedDialogs;

BOOL CALLBACK FindOwnedVisible(HWND window, LPARAM owner) {
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == reinterpret_cast<HWND>(owner)) {
        SetLastError(ERROR_SUCCESS + 1);
        return FALSE;
    }
    return TRUE;
}

// A dialog that put up a box before it showed itself waits on the box, not on its loop.
bool OwnsVisibleWindow(HWND window) {
    SetLastError(ERROR_SUCCESS);
    EnumWindows(&FindOwnedVisible, reinterpret_cast<LPARAM>(window));
    return GetLastError() == ERROR_SUCCESS + 1;
}

BOOL CALLBACK FindHidden(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[16] = "";
    GetClassNameA(window, className, sizeof(className));
    if (process != GetCurrentProcessId() || strcmp(className, "#32770") != 0 ||
        IsWindowVisible(window))
        return TRUE;
    // A dialog the driver has clicked in was on screen: hidden now, it has ended and only
    // waits for its loop, which runs once the driver hands the thread back for good.
    if (g_clickedDialogs.count(window) || OwnsVisibleWindow(window))
        return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// A modal dialog shows itself only once its loop finds the queue empty.
bool DialogNotShownYet() {
    bool found = false;
    EnumWindows(&FindHidden, reinterpret_cast<LPARAM>(&found));
    return found;
}

int g_opIndex = 0;

// A crash of the plug-in is a result of the run: told with its operation, no debugger.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
    PrintLine("RANDOM-FAIL %d crash: exception 0x%08lx at %p", g_opIndex,
              exception->ExceptionRecord->ExceptionCode,
              exception->ExceptionRecord->ExceptionAddress);
    ExitProcess(5);
    return EXCEPTION_EXECUTE_HANDLER;
}

bool IsMessageBox(HWND window) {
    return GetDlgItem(window, 0xFFFF) != nullptr;
}

} // namespace

std::string RandomKindNames() {
    std::string names;
    for (const Kind& kind : kKinds)
        names += (names.empty() ? "" : ",") + std::string(kind.name);
    return names;
}

void WriteRandomStartSettings() {
    std::string ini = SettingsFilePath();
    DeleteFileA(ini.c_str());
    // An earlier run that ended the plug-in with mail held left records for the next start.
    std::string journal = ini.substr(0, ini.find_last_of('\\') + 1) + "Journal\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((journal + "*.rec").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        DeleteFileA((journal + found.cFileName).c_str());
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    WritePrivateProfileStringA("WhiteList", "InnerDomains", "inner.example", ini.c_str());
    WritePrivateProfileStringA("Delay", "InnerDelayTime", "0", ini.c_str());
    WritePrivateProfileStringA("Delay", "OuterDelayTime", "2", ini.c_str());
    WritePrivateProfileStringA("Option", "Confirm", "1", ini.c_str());
    DeleteFileA(SettingsFolderFile("DomainHistory.txt").c_str());
}

RandomUse::RandomUse(MailClient* mailClient, const RandomPlan& randomPlan)
    : client(mailClient), plan(randomPlan), rng(randomPlan.seed * 2654435761u + 1), nextId(0),
      opIndex(0), seenFiles(0), pluginRunning(true), endRun(false), exitCode(0), mainFiber(nullptr),
      driverFiber(nullptr), resumeWindow(nullptr) {}

bool RandomUse::Start() {
    SYSTEMTIME start = {2026, 12, 1, 7, 10, 0, 0, 0};
    if (!VirtualClock::PatchModule(client->Plugin().module))
        return false;
    VirtualClock::Set(start);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &RandomUse::ResumeProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kResumeClass;
    RegisterClassA(&windowClass);
    resumeWindow = CreateWindowExA(0, kResumeClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
    SetWindowLongPtrA(resumeWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    mainFiber = ConvertThreadToFiber(nullptr);
    driverFiber = CreateFiber(256 * 1024, &RandomUse::FiberMain, this);
    if (!resumeWindow || !mainFiber || !driverFiber)
        return false;
    client->SetKeepRunning(true);
    SetUnhandledExceptionFilter(&ReportCrash);
    PostMessageA(resumeWindow, kResume, 0, 0);
    return true;
}

LRESULT CALLBACK RandomUse::ResumeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RandomUse* self = reinterpret_cast<RandomUse*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_TIMER && wParam == kIdleTimer)
        KillTimer(window, kIdleTimer);
    if (message == kRestart && self)
        self->client->RestartPlugin();
    bool resume = message == kResume || (message == WM_TIMER && wParam == kIdleTimer);
    if (resume && self && self->driverFiber)
        SwitchToFiber(self->driverFiber);
    return DefWindowProcA(window, message, wParam, lParam);
}

void CALLBACK RandomUse::FiberMain(void* self) {
    static_cast<RandomUse*>(self)->Drive();
}

void RandomUse::HandBack() {
    PostMessageA(resumeWindow, kResume, 0, 0);
    SwitchToFiber(mainFiber);
}

// Hands the thread to the running message loop until nothing posted is left: the plug-in's
// posted sends, the client's closes and any modal loop they start have all had their turn.
void RandomUse::Settle() {
    for (int round = 0; round < 200; ++round) {
        HandBack();
        if (HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0)
            continue;
        if (!DialogNotShownYet())
            return;
        // Back through a timer, which leaves the queue empty for the dialog's loop.
        SetTimer(resumeWindow, kIdleTimer, 10, nullptr);
        SwitchToFiber(mainFiber);
    }
}

void RandomUse::Fail(const std::string& text) {
    PrintLine("RANDOM-FAIL %d %s", opIndex, text.c_str());
    ExitProcess(3);
}

void RandomUse::Check() {
    std::vector<std::string> files = client->SentMail().FileNames();
    std::vector<Delivery> fresh;
    for (; seenFiles < files.size(); ++seenFiles) {
        HeaderStore headers = client->SentMail().ReadHeaders(files[seenFiles]);
        std::string subject = headers.Value("Subject");
        int id = subject.size() > 1 && subject[0] == 'm' ? atoi(subject.c_str() + 1) : 0;
        fresh.push_back(Delivery{id, headers.Value("X-VelmoraStatus")});
    }
    std::string failure = CheckModel(model, fresh);
    if (!failure.empty())
        Fail(failure);
}

void RandomUse::CheckNoDialog() {
    HWND left = DialogDriver::TopDialog();
    if (left)
        Fail("dialog-left: \"" + DialogDriver::WindowText(left) + "\" is still open");
}

void RandomUse::Drive() {
    DWORD started = GetTickCount();
    int executed = 0;
    size_t total = plan.replay.empty() ? static_cast<size_t>(plan.count) : plan.replay.size();
    for (size_t i = 0; i < total && !endRun; ++i) {
        opIndex = g_opIndex = static_cast<int>(i);
        std::string op = plan.replay.empty() ? Generate() : plan.replay[i];
        PrintLine("OP %d %s", opIndex, op.c_str());
        if (!Execute(op)) {
            PrintLine("SKIP %d", opIndex);
            continue;
        }
        ++executed;
        Check();
        CheckNoDialog();
    }
    opIndex = g_opIndex = static_cast<int>(total);
    Finish();
    DWORD wall = GetTickCount() - started;
    PrintLine("RANDOM-PASS %d operations, %lld virtual minutes, %lu ms, %.0f operations/s",
              executed, model.now / 60, wall, wall ? executed * 1000.0 / wall : 0.0);
    resumeWindow = nullptr;
    client->QuitWhenMainGone();
    SwitchToFiber(mainFiber);
}

// The user closes the client: Yes to sending everything, then the next close must go through.
void RandomUse::Finish() {
    if (!client->Main().IsAlive())
        return;
    bool held = model.AnyHeld() && pluginRunning;
    bool ghost = model.AnyGhost() && pluginRunning;
    PostMessageA(client->Main().Handle(), WM_CLOSE, 0, 0);
    Settle();
    bool asked = DialogDriver::FindMessageBox(kExitQuestion) != nullptr;
    if (held && !asked)
        Fail("exit: the client closed with mail held");
    if (!held && !ghost && asked)
        Fail("cannot-close: asked about held mail with nothing held");
    if (asked) {
        for (ModelMessage* message : model.InState(kHeld))
            model.Expect(*message, kDeliver, "4");
        model.SweepGhosts();
        Answer(kExitQuestion, IDYES);
        Check();
        PostMessageA(client->Main().Handle(), WM_CLOSE, 0, 0);
        Settle();
        if (DialogDriver::FindMessageBox(kExitQuestion)) {
            Answer(kExitQuestion, IDNO);
            Fail("cannot-close: mail still held after sending all at exit");
        }
    }
    if (client->Main().IsAlive())
        Fail("cannot-close: the client did not close");
    Check();
}

std::string RandomUse::Generate() {
    std::vector<std::string> enabled =
        Split(plan.kinds.empty() ? RandomKindNames() : plan.kinds, ',');
    auto next = [this](int range) {
        rng ^= rng << 13;
        rng ^= rng >> 17;
        rng ^= rng << 5;
        return range > 0 ? static_cast<int>(rng % static_cast<unsigned>(range)) : 0;
    };
    auto pick = [&](const std::vector<ModelMessage*>& from) {
        return from.empty() ? 0 : from[next(static_cast<int>(from.size()))]->id;
    };
    std::vector<ModelMessage*> composing = model.InState(kComposing), held = model.InState(kHeld);
    std::vector<ModelMessage*> hidden, resend = composing;
    for (ModelMessage* message : held)
        (message->shown ? resend : hidden).push_back(message);
    int totalWeight = 0;
    for (const Kind& kind : kKinds)
        for (const std::string& name : enabled)
            totalWeight += name == kind.name ? kind.weight : 0;
    const char* kinds = "iomc";
    char text[96] = "t1";
    for (int tries = 0; tries < 50; ++tries) {
        int roll = next(totalWeight);
        std::string name;
        for (const Kind& kind : kKinds)
            for (const std::string& on : enabled)
                if (on == kind.name && name.empty() && (roll -= kind.weight) < 0)
                    name = kind.name;
        int box = 1 + next(2), id = 0;
        if ((name == "open" || name == "unannounced") && composing.size() < 8)
            snprintf(text, sizeof(text), "o%d:%c:%d:%c", ++nextId, kinds[next(4)], box,
                     name == "open" ? 'a' : "u3d"[next(3)]);
        else if (name == "send" && (id = pick(resend)))
            snprintf(text, sizeof(text), "s%d:p:%c", id, next(4) ? 'k' : 'n');
        else if ((name == "ctrl" || name == "ident") && (id = pick(composing)))
            snprintf(text, sizeof(text), "s%d:%c:%c", id, name == "ctrl" ? 'c' : 'b',
                     next(4) ? 'k' : 'n');
        else if ((name == "cancel" || name == "close") && (id = pick(composing)))
            snprintf(text, sizeof(text), "%c%d", name == "cancel" ? 'x' : 'c', id);
        else if (name == "destroy" && (id = pick(hidden)))
            snprintf(text, sizeof(text), "d%d", id);
        else if (name == "show" && (id = pick(hidden)))
            snprintf(text, sizeof(text), "v%d:%c", id, kinds[next(4)]);
        else if (name == "clock")
            snprintf(text, sizeof(text), "t%d",
                     kClockSteps[next(sizeof(kClockSteps) / sizeof(int))]);
        else if (name == "list") {
            if (!held.empty() && next(4))
                box = held[next(static_cast<int>(held.size()))]->box;
            int rows = static_cast<int>(model.InState(kHeld, box).size() +
                                        model.InState(kGhost, box).size());
            int shape = next(6), mask = shape == 0 || rows == 0 ? 0
                                        : shape < 3             ? 1 << next(rows)
                                                                : next(1 << (rows < 8 ? rows : 8));
            snprintf(text, sizeof(text), "l%d:%c:%d:%d:%d", box, "nnyysc"[next(6)], mask,
                     next(3) ? 0 : kClockSteps[next(sizeof(kClockSteps) / sizeof(int))],
                     name == "nested");
        } else if (name == "setup" || name == "wide") {
            const int inner[] = {0, 0, 0, 1, 2}, outer[] = {0, 1, 2, 2, 3, 5};
            snprintf(text, sizeof(text), "u%d:%d:%c:%d:%d:%c", inner[next(5)], outer[next(6)],
                     next(2) ? (model.settings.corpInner ? 'd' : 'a') : 'k', next(5) != 0,
                     name == "wide", "k012"[next(4)]);
        } else if (name == "exit")
            snprintf(text, sizeof(text), "q%c", next(5) < 3 ? 'y' : 'n');
        else if (name == "end") {
            bool list = !held.empty() && next(3);
            if (list)
                box = held[next(static_cast<int>(held.size()))]->box;
            // Ending the run early would cut it short: only its last operation may.
            bool last = opIndex + 1 >= plan.count;
            snprintf(text, sizeof(text), "e%c:%d:%c:%d", list ? 'l' : 's', box, last ? 'e' : 'r',
                     next(2));
        } else
            continue;
        break;
    }
    return text;
}

bool RandomUse::Execute(const std::string& op) {
    if (op.empty())
        return false;
    std::vector<std::string> f = Split(op.substr(1), ':');
    switch (op[0]) {
    case 'o':
        return OpOpen(f);
    case 's':
        return OpSend(f);
    case 'x':
    case 'c':
    case 'd':
    case 'v':
        return OpWindow(op[0], f);
    case 't':
        return OpClock(f);
    case 'l':
        return OpList(f);
    case 'u':
        return OpSetup(f);
    case 'q':
        return OpExit(f);
    case 'e':
        return OpEnd(f);
    }
    return false;
}

bool RandomUse::OpOpen(const std::vector<std::string>& f) {
    int id = Num(f, 0), box = Num(f, 2);
    char recipients = Letter(f, 1), announce = Letter(f, 3);
    if (id <= 0 || model.Find(id) || (box != 1 && box != 2))
        return false;
    HeaderStore headers;
    headers.Set("From", "me@inner.example");
    headers.Set("Subject", ("m" + std::to_string(id)).c_str());
    SetRecipients(headers, recipients, id);
    ComposeWindow* window = client->OpenCompose("m" + std::to_string(id), announce == '3' ? 3 : 0,
                                                headers, "本文", announce != 'u' && pluginRunning);
    if (!window)
        Fail("harness: cannot open a compose window");
    if (announce == 'd' && client->Plugin().OnOpenCompose)
        client->Plugin().OnOpenCompose(window->Handle(), 0);
    model.Add(id, box, recipients, window);
    Settle();
    return true;
}

void RandomUse::UseBox(int box) {
    client->MailboxList().SetCurrent(box == 2 ? "box2\\" : "box1\\");
}

bool RandomUse::OpSend(const std::vector<std::string>& f) {
    ModelMessage* message = model.Find(Num(f, 0));
    char how = Letter(f, 1);
    if (!message || !(message->state == kComposing || (message->state == kHeld && message->shown)))
        return false;
    if (how != 'p' && message->state != kComposing)
        return false;
    UseBox(message->box);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = how == 'c' ? 0x80 : 0;
    SetKeyboardState(keys);
    if (how == 'b')
        message->window->Headers().Set("X-KRV-Ident", "x,1");
    PostMessageA(message->window->Handle(), WM_COMMAND, kSendCommand, 0);
    Settle();
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    SetKeyboardState(keys);
    // Every send the user starts is looked at first when the settings ask for it.
    HWND confirm = DialogDriver::FindDialog(kConfirm);
    if (confirm && (!pluginRunning || !model.NeedsConfirm(message->recipients)))
        Fail("confirm: asked before a send that needs no look");
    if (!confirm && pluginRunning && model.NeedsConfirm(message->recipients))
        Fail("confirm: no look before a send with confirmation on");
    if (confirm && !AnswerConfirm(confirm, Letter(f, 2) != 'n')) {
        // The client's resend mark belongs to that send only.
        if (how == 'b')
            message->window->Headers().Set("X-KRV-Ident", "");
        return true;
    }
    if (pluginRunning || how != 'p')
        model.Sent(*message, how != 'p');
    else
        model.Expect(*message, kDeliver, "");
    Settle();
    return true;
}

bool RandomUse::AnswerConfirm(HWND dialog, bool send) {
    if (!send) {
        Click(dialog, IDCANCEL);
        if (IsWindow(dialog) && IsWindowVisible(dialog))
            Fail("confirm: the look stayed open after cancel");
        return false;
    }
    HWND list = GetDlgItem(dialog, kConfirmList);
    for (int row = 0, rows = DialogDriver::RowCount(list); row < rows; ++row)
        DialogDriver::SetRowTicked(list, row, true);
    // Every warning's check box, of whatever kinds the plug-in has: each one besides the box
    // for the inside rows.
    std::vector<int> warnings;
    for (HWND box = GetWindow(dialog, GW_CHILD); box; box = GetWindow(box, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(box);
        char type[16] = "";
        GetClassNameA(box, type, sizeof(type));
        if (_stricmp(type, "Button") == 0 &&
            (GetWindowLongA(box, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX &&
            id != kConfirmAllInside && IsWindowVisible(box) &&
            SendMessageA(box, BM_GETCHECK, 0, 0) != BST_CHECKED)
            warnings.push_back(id);
    }
    for (int id : warnings)
        Click(dialog, id);
    // Fails when the send button is still disabled with everything ticked.
    Click(dialog, kConfirmSend);
    if (IsWindow(dialog) && IsWindowVisible(dialog))
        Fail("confirm: the look stayed open after send");
    return true;
}

bool RandomUse::OpWindow(char kind, const std::vector<std::string>& f) {
    ModelMessage* message = model.Find(Num(f, 0));
    if (!message)
        return false;
    HWND window = message->window->Handle();
    bool hiddenHeld = message->state == kHeld && !message->shown;
    if ((kind == 'x' || kind == 'c') && message->state != kComposing)
        return false;
    if ((kind == 'd' || kind == 'v') && !hiddenHeld)
        return false;
    if (kind == 'x') {
        // The user clicks the close box and cancels the client's "save changes?" question.
        message->window->cancelClose = true;
        PostMessageA(window, WM_CLOSE, 0, 0);
        Settle();
        message->window->cancelClose = false;
    } else if (kind == 'c') {
        PostMessageA(window, WM_CLOSE, 0, 0);
        message->state = kGone;
        Settle();
    } else if (kind == 'd') {
        DestroyWindow(window);
        message->state = kGhost;
        Settle();
    } else {
        // The client shows the held window again; the user changes the recipients.
        message->recipients = Letter(f, 1);
        SetRecipients(message->window->Headers(), message->recipients, message->id);
        PostMessageA(window, WM_COMMAND, kBackToEditingCommand, 0);
        message->shown = true;
        Settle();
    }
    return true;
}

void RandomUse::Advance(int seconds) {
    VirtualClock::AdvanceMilliseconds(seconds * 1000LL);
    model.now += seconds;
}

void RandomUse::Tick(const std::set<int>& paused) {
    PostMessageA(client->Main().Handle(), kTickRequest, 0, 0);
    if (pluginRunning)
        model.Tick(paused);
    Settle();
}

bool RandomUse::OpClock(const std::vector<std::string>& f) {
    int seconds = Num(f, 0);
    if (seconds <= 0)
        return false;
    Advance(seconds);
    Tick(std::set<int>());
    return true;
}

void RandomUse::Click(HWND dialog, int id) {
    g_clickedDialogs.insert(dialog);
    HWND button = GetDlgItem(dialog, id);
    if (!button || !IsWindowEnabled(button))
        Fail("dialog: no enabled control " + std::to_string(id) + " in \"" +
             DialogDriver::WindowText(dialog) + "\"");
    PostMessageA(button, BM_CLICK, 0, 0);
    Settle();
}

bool RandomUse::Answer(const char* text, int button) {
    HWND box = DialogDriver::FindMessageBox(text);
    if (!box)
        return false;
    // The dialog under the box may end with it, never having been clicked itself.
    g_clickedDialogs.insert(GetWindow(box, GW_OWNER));
    Click(box, button);
    return true;
}

HWND RandomUse::OpenHoldList(int box) {
    const PluginCommand* command = client->Menu().Last();
    if (!command)
        return nullptr;
    UseBox(box);
    PostMessageA(client->Main().Handle(), WM_COMMAND, command->id, 0);
    Settle();
    return DialogDriver::FindDialog(kHoldList);
}

std::vector<int> RandomUse::ListedIds(HWND list) {
    std::vector<int> ids;
    HWND view = GetDlgItem(list, kListView);
    for (int row = 0, rows = DialogDriver::RowCount(view); row < rows; ++row) {
        std::string subject = DialogDriver::CellText(view, row, 1);
        ids.push_back(subject.size() > 1 ? atoi(subject.c_str() + 1) : 0);
    }
    return ids;
}

// Every held message of the box is listed; besides them only ones destroyed while held.
bool RandomUse::CheckListed(HWND list, int box) {
    std::vector<int> ids = ListedIds(list);
    for (ModelMessage* message : model.InState(kHeld, box)) {
        bool listed = false;
        for (int id : ids)
            listed = listed || id == message->id;
        if (!listed)
            Fail("list-rows: held m" + std::to_string(message->id) + " is not in the hold list");
    }
    for (int id : ids) {
        ModelMessage* message = model.Find(id);
        if (!message || message->box != box ||
            (message->state != kHeld && message->state != kGhost))
            Fail("list-rows: the hold list shows m" + std::to_string(id) + ", which is not held");
    }
    return true;
}

bool RandomUse::OpList(const std::vector<std::string>& f) {
    int box = Num(f, 0), mask = Num(f, 2), tick = Num(f, 3);
    char act = Letter(f, 1);
    if ((box != 1 && box != 2) || !pluginRunning)
        return false;
    bool held = !model.InState(kHeld, box).empty();
    HWND list = OpenHoldList(box);
    if (!list) {
        if (Answer(kNothingHeld, IDOK) && held)
            Fail("list: the hold list says nothing is held");
        if (held)
            Fail("list: the hold list did not open with mail held");
        return true;
    }
    CheckListed(list, box);
    if (Num(f, 4)) {
        // The command again while the list is open: the nested list is closed at once.
        PostMessageA(client->Main().Handle(), WM_COMMAND, client->Menu().Last()->id, 0);
        Settle();
        HWND nested = DialogDriver::FindDialog(kHoldList);
        if (nested && nested != list)
            Click(nested, IDCANCEL);
        Answer(kNothingHeld, IDOK);
    }
    if (tick > 0) {
        // Due mail of this box waits while its list is open; the other box's goes.
        Advance(tick);
        Tick(std::set<int>{box});
        Check();
    }
    std::vector<int> ids = ListedIds(list), rows;
    for (int row = 0; row < static_cast<int>(ids.size()) && row < 31; ++row)
        if (mask & (1 << row))
            rows.push_back(row);
    DialogDriver::SelectRows(list, kListView, rows);
    Settle();
    ActOnList(list, act, rows, ids);
    if (IsWindow(list))
        Fail("list: the hold list stayed open after its action");
    return true;
}

void RandomUse::ActOnList(HWND list, char act, const std::vector<int>& rows,
                          const std::vector<int>& ids) {
    if (act == 'c') {
        Click(list, IDCANCEL);
        return;
    }
    int button = act == 'n' ? kSendNow : IDOK;
    if (rows.empty()) {
        Click(list, button);
        if (!Answer(kNoneSelected, IDOK))
            Fail("list: no \"none selected\" box");
        Click(list, IDCANCEL);
        return;
    }
    bool ghostChosen = false;
    for (int row : rows)
        ghostChosen = ghostChosen || model.Find(ids[row])->state == kGhost;
    Click(list, button);
    // A row whose message left: the list says so, shows what is left and does nothing.
    if (Answer(kNoLongerHeld, IDOK)) {
        if (!ghostChosen)
            Fail("list: held mail was said to be no longer held");
        if (IsWindow(list))
            Click(list, IDCANCEL);
        return;
    }
    for (int row : rows) {
        ModelMessage* message = model.Find(ids[row]);
        if (message->state == kGhost && act != 's')
            message->state = kGone;
        else if (message->state == kHeld && act == 'n')
            model.Expect(*message, kDeliver, "2");
        else if (message->state == kHeld && act == 'y')
            message->state = kComposing, message->shown = false;
    }
    if (act == 'n') {
        while (Answer(kSendFailed, IDOK))
            if (!ghostChosen)
                Fail("list: send now failed for a held message");
        return;
    }
    if (!Answer(kStopQuestion, act == 'y' ? IDYES : IDNO))
        Fail("list: stop sending asked no question");
    if (act == 's')
        Click(list, IDCANCEL);
}

bool RandomUse::OpSetup(const std::vector<std::string>& f) {
    if (!pluginRunning)
        return false;
    int inner = Num(f, 0), outer = Num(f, 1);
    char domain = Letter(f, 2);
    bool ok = Num(f, 3) != 0, wide = Num(f, 4) != 0;
    PostMessageA(client->Main().Handle(), WM_COMMAND, kSetupCommand, 0);
    Settle();
    HWND setup = DialogDriver::FindDialog(kSetup);
    if (!setup)
        Fail("setup: the setup dialog did not open");
    SetDlgItemTextA(setup, 1005, Typed(inner, wide).c_str());
    SetDlgItemTextA(setup, 1006, Typed(outer, wide).c_str());
    bool corp = model.settings.corpInner;
    if (domain == 'a' && !corp) {
        Click(setup, 1002);
        HWND entry = DialogDriver::FindDialog("組織内ドメインの追加");
        if (!entry)
            Fail("setup: no domain entry dialog");
        SetDlgItemTextA(entry, 1010, "corp.example");
        Click(entry, IDOK);
        corp = true;
    } else if (domain == 'd' && corp) {
        HWND view = GetDlgItem(setup, kDomains);
        for (int row = 0, rows = DialogDriver::RowCount(view); row < rows; ++row)
            if (DialogDriver::CellText(view, row, 0) == "corp.example") {
                DialogDriver::SelectRows(setup, kDomains, std::vector<int>{row});
                Settle();
                Click(setup, 1004);
                if (!Answer("[corp.example]", IDYES))
                    Fail("setup: no question before deleting a domain");
                corp = false;
            }
    }
    const char confirm = Letter(f, 5);
    int confirmMode = model.settings.confirm;
    if (confirm >= '0' && confirm <= '2') {
        confirmMode = confirm - '0';
        SetConfirmMode(setup, confirmMode);
    }
    Click(setup, ok ? IDOK : IDCANCEL);
    if (IsWindow(setup))
        Fail("setup: the setup dialog stayed open");
    if (ok)
        model.settings = ModelSettings{inner, outer, corp, confirmMode};
    return true;
}

// Through the setup dialog's button and the small dialog it opens.
void RandomUse::SetConfirmMode(HWND setup, int mode) {
    Click(setup, kConfirmButton);
    HWND dialog = DialogDriver::FindDialog(kConfirmSetup);
    if (!dialog)
        Fail("setup: the confirmation settings did not open");
    CheckRadioButton(dialog, kConfirmOff, kConfirmOff + 2, kConfirmOff + mode);
    Click(dialog, IDOK);
    if (IsWindow(dialog))
        Fail("setup: the confirmation settings stayed open");
}

bool RandomUse::QueryEnd(char answer) {
    bool held = model.AnyHeld(), ghost = model.AnyGhost();
    PostMessageA(client->Main().Handle(), kQueryEndRequest, 0, 0);
    Settle();
    bool asked = DialogDriver::FindMessageBox(kExitQuestion) != nullptr;
    if (held && !asked)
        Fail("exit: no question although mail is held");
    if (!held && !ghost && asked)
        Fail("cannot-close: asked about held mail with nothing held");
    if (asked && answer == 'y') {
        for (ModelMessage* message : model.InState(kHeld))
            model.Expect(*message, kDeliver, "4");
        model.SweepGhosts();
    }
    if (asked)
        Answer(kExitQuestion, answer == 'y' ? IDYES : IDNO);
    if ((client->lastQueryEndResult != 0) == asked)
        Fail(asked ? "exit: log-off allowed although mail was held"
                   : "cannot-close: log-off refused with nothing held");
    return asked;
}

bool RandomUse::OpExit(const std::vector<std::string>& f) {
    char answer = Letter(f, 0);
    if (!pluginRunning || (answer != 'y' && answer != 'n'))
        return false;
    if (!QueryEnd(answer) || answer != 'y')
        return true;
    Check();
    // After sending all, nothing is held: the next attempt closes without a question.
    PostMessageA(client->Main().Handle(), kQueryEndRequest, 0, 0);
    Settle();
    if (Answer(kExitQuestion, IDNO))
        Fail("cannot-close: mail still held after sending all at exit");
    if (client->lastQueryEndResult == 0)
        Fail("cannot-close: log-off refused after sending all");
    return true;
}

// The plug-in ends inside the hold list's or the setup dialog's loop (a session ending), and the
// dialog is then closed or its action pressed.
bool RandomUse::OpEnd(const std::vector<std::string>& f) {
    if (!pluginRunning)
        return false;
    bool press = Num(f, 3) != 0, restart = Letter(f, 2) == 'r';
    HWND dialog = Letter(f, 0) == 'l' ? OpenHoldList(Num(f, 1)) : nullptr;
    bool isList = dialog != nullptr;
    Answer(kNothingHeld, IDOK);
    if (!dialog) {
        PostMessageA(client->Main().Handle(), WM_COMMAND, kSetupCommand, 0);
        Settle();
        dialog = DialogDriver::FindDialog(kSetup);
    }
    if (!dialog)
        Fail("end: no dialog to end the plug-in in");
    std::vector<ModelMessage*> held = model.InState(kHeld);
    for (ModelMessage* message : held)
        model.Expect(*message, kDeliverOrBack, "4|2");
    model.SweepGhosts();
    client->ExitPlugin();
    pluginRunning = false;
    Settle();
    if (IsWindow(dialog) && IsWindowVisible(dialog)) {
        if (isList && press) {
            std::vector<int> all;
            for (int row = 0, rows = DialogDriver::RowCount(GetDlgItem(dialog, kListView));
                 row < rows; ++row)
                all.push_back(row);
            DialogDriver::SelectRows(dialog, kListView, all);
            Settle();
        }
        Click(dialog, isList ? (press ? kSendNow : IDCANCEL) : (press ? IDOK : IDCANCEL));
        for (HWND box; (box = DialogDriver::TopDialog()) && IsMessageBox(box);)
            Click(box, GetDlgItem(box, IDOK) ? IDOK : IDYES);
    }
    if (IsWindow(dialog))
        Fail("end: the dialog stayed open after the plug-in ended");
    Check();
    if (restart) {
        PostMessageA(resumeWindow, kRestart, 0, 0);
        Settle();
        // What the exit gave back unsent is named once at the new start; nothing else is.
        std::string notice = kLostNotice + std::to_string(held.size()) + " 通";
        bool named = Answer(notice.c_str(), IDOK);
        if (named != !held.empty())
            Fail("end: the next start named " + std::string(named ? "" : "no ") +
                 "mail given back at exit; " + std::to_string(held.size()) + " were held");
        pluginRunning = true;
        Settle();
    } else {
        endRun = true;
    }
    return true;
}
