#include "plugin/velmora_logic.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "confirm/confirm_rows.h"
#include "confirm/domain_history_store.h"
#include "confirm/domain_learner.h"
#include "delay/clock.h"
#include "delay/compose_manager.h"
#include "delay/compose_headers.h"
#include "delay/delay_logic.h"
#include "delay/delay_sender.h"
#include "delay/held_mail_recorder.h"
#include "delay/hold_events.h"
#include "delay/recipient_class.h"
#include "host/host_api.h"
#include "host/mailbox_key.h"
#include "plugin/main_window.h"
#include "plugin/menu_command.h"
#include "plugin/send_confirmation.h"
#include "journal/event_log.h"
#include "journal/held_journal.h"
#include "journal/hold_log_text.h"
#include "settings/local_setting.h"
#include "settings/policy_source.h"
#include "journal/log_setup.h"
#include "journal/lost_mail_notice.h"
#include "journal/start_events.h"
#include "setup/setting_forms.h"
#include "settings/settings_path.h"
#include "setup/setup_save.h"
#include "ui/dialog.h"
#include "support/guard.h"
#include "support/int_parse.h"
#include "support/log_writer.h"
#include "support/path_utils.h"
#include "support/mbcs.h"
#include "support/string_list.h"
#include "support/version.h"

namespace {

const size_t kInfoFieldSize = 80;
const int kIdentSize = 2048;
const int kMailerSize = 16384;
const int kMailerLimit = 16324;
const int kSubjectSize = 1024;

// Copies at most 79 bytes and never leaves half of a double-byte character.
void CopyInfoField(char* field, const char* text) {
    CopyMbcs(field, kInfoFieldSize, text ? text : "");
}

void Log(int level, int line, LPCSTR text) {
    NTessik::SLogWriter writer(NTessik::GetSink(), "VelmoraLogic", line, 0, 0, level);
    writer.Write("%s", text);
}

} // namespace

VelmoraLogic::VelmoraLogic(HINSTANCE instance, SHostApi* hostApi, LPCSTR modulePath)
    : SPluginLogic(instance, hostApi), version(nullptr), settings(nullptr), mainWindow(nullptr),
      composeManager(nullptr), delayLogic(nullptr), domainHistory(nullptr), journal(nullptr),
      recorder(nullptr), learner(nullptr), holdEvents(nullptr), confirmation(nullptr),
      flushPosted(false), policyPath(PolicyFilePathBeside(modulePath)) {
    version = new SVersion(modulePath);
    confirmation = new SSendConfirmation(instance, hostApi, this);
}

// Unloaded without an exit: no subclass may be left pointing into freed code.
VelmoraLogic::~VelmoraLogic() {
    Stop();
    delete confirmation;
    delete version;
}

int VelmoraLogic::OnPlugInInfo(LPVOID info) {
    if (!info)
        return 0;
    char* record = static_cast<char*>(info);
    CopyInfoField(record + 0, version->productName);
    CopyInfoField(record + 80, version->companyName);
    CopyInfoField(record + 160, version->productVersion);
    CopyInfoField(record + 240, version->comments);
    return 0;
}

int VelmoraLogic::OnStart() {
    Start();
    return 0;
}

void VelmoraLogic::Start() {
    // A second start would hook the main window twice and leak the first objects.
    if (delayLogic)
        return;
    char path[kSettingsPathSize] = "";
    ChooseSettingsPath(instance, path);

    std::unique_ptr<LocalSetting> newSettings(new LocalSetting(path));
    const SPolicy policy = ReadPolicy(policyPath.c_str());
    newSettings->ReadAll(policy);
    const bool logInstalled = InstallLogSink(*newSettings);
    // Everything until the EventLog key is read; its value goes here.
    StartEventLog(kEventLogAll);
    // Which value is in force and where it came from: what an administrator checks first.
    LogStartEvents(*newSettings, policy, policyPath, logInstalled, version->productVersion);
    LogDebug(SettingsReadLogText(newSettings->innerDomainsText, newSettings->innerDelayTime,
                                 newSettings->outerDelayTime, newSettings->ctrlBypass,
                                 newSettings->logLevel)
                 .c_str());

    HWND handles[4] = {nullptr, nullptr, nullptr, nullptr};
    hostApi->BKA_GetWindowHandles(&handles[0], &handles[1], &handles[2], &handles[3]);
    std::unique_ptr<SMainWindow> newMainWindow(new SMainWindow(this, handles[0]));
    std::unique_ptr<SComposeManager> newComposeManager(new SComposeManager(this));
    std::unique_ptr<SDelayLogic> newDelayLogic(
        new SDelayLogic(hostApi, newSettings.get(), newComposeManager.get()));
    const std::string folder = FolderOf(path);
    std::unique_ptr<SHeldJournal> newJournal(new SHeldJournal(folder.c_str()));
    std::unique_ptr<SHeldMailRecorder> newRecorder(new SHeldMailRecorder(newJournal.get(), this));
    std::vector<SLostMail> lost;
    if (newJournal->Open())
        newJournal->CollectLost(&lost);
    newRecorder->SetFlushRequest([this]() { RequestJournalFlush(); });
    std::unique_ptr<SDomainHistoryStore> newHistory(new SDomainHistoryStore(folder.c_str()));
    newHistory->SetFlushRequest([this]() { RequestJournalFlush(); });
    if (newSettings->confirmMode != 0)
        newHistory->Load();
    std::unique_ptr<SDomainLearner> newLearner(new SDomainLearner(
        newRecorder.get(), [this](const SDelayMail& mail) { return OutsideDomainsOf(mail); },
        [this](const std::vector<std::string>& domains) { LearnDomains(domains); }));
    std::unique_ptr<SHoldEvents> newEvents(new SHoldEvents(newLearner.get(), [this](int held) {
        if (mainWindow)
            mainWindow->ShowHeldCount(held);
    }));
    newDelayLogic->SetObserver(newEvents.get());

    settings = newSettings.release();
    composeManager = newComposeManager.release();
    delayLogic = newDelayLogic.release();
    journal = newJournal.release();
    recorder = newRecorder.release();
    domainHistory = newHistory.release();
    learner = newLearner.release();
    holdEvents = newEvents.release();
    mainWindow = newMainWindow.release();
    // Hooked last: the exit check must find the objects it asks about.
    mainWindow->Attach();
    // Mail held when an earlier client ended without this exit was never sent: say so once.
    if (!lost.empty()) {
        LogEvent(EEventId::MailLost, LostMailEventLines(lost));
        ShowLostMailNotice(handles[0], lost);
    }
}

// One posted flush at a time, for the journal and the history alike.
void VelmoraLogic::RequestJournalFlush() {
    if (flushPosted)
        return;
    if (mainWindow && mainWindow->subclassed &&
        PostMessageA(mainWindow->window, JournalFlushMessage(), 0, 0)) {
        flushPosted = true;
        return;
    }
    FlushJournal();
}

void VelmoraLogic::FlushJournal() {
    flushPosted = false;
    if (recorder)
        recorder->Flush();
    // The domain history waits for the same moment.
    if (domainHistory)
        domainHistory->Flush();
}

int VelmoraLogic::OnExit() {
    Stop();
    return 0;
}

void VelmoraLogic::Stop() {
    // A dialog open in a nested loop must not go on with the objects freed below.
    SDialog::EndAllForExit();
    if (delayLogic) {
        LogInfo(ExitLogText(delayLogic->HeldCount()).c_str());
        // Mail given back here was not sent by the plug-in: its records stay for the next start.
        if (recorder) {
            recorder->Flush();
            recorder->KeepRecords();
        }
        if (holdEvents)
            holdEvents->Quiet();
        delayLogic->TakeBackAll();
    }
    delete delayLogic;
    delayLogic = nullptr;
    delete composeManager;
    composeManager = nullptr;
    delete mainWindow;
    mainWindow = nullptr;
    delete settings;
    settings = nullptr;
    delete holdEvents;
    holdEvents = nullptr;
    delete learner;
    learner = nullptr;
    delete recorder;
    recorder = nullptr;
    // Mail sent at exit was learned a moment ago: written here, or never.
    if (domainHistory)
        domainHistory->Flush();
    delete domainHistory;
    domainHistory = nullptr;
    delete journal;
    journal = nullptr;
    StopEventLog();
    RemoveLogSink();
}

int VelmoraLogic::OnOpenCompose(HWND compose, int mode) {
    if (!composeManager || mode == 3)
        return 0;
    hostApi->BKA_CompSetSpecifiedHeader(compose, kStatusHeader, "");
    composeManager->Register(compose);
    return 0;
}

int VelmoraLogic::OnOutgoing(HWND compose, int mode) {
    // Read at the start, or here once after confirmation was switched on in the setup.
    if (KeepsDomainHistory())
        domainHistory->Load();
    return DecideOutgoing(compose, mode);
}

bool VelmoraLogic::KeepsDomainHistory() const {
    return settings && delayLogic && domainHistory && settings->confirmMode != 0;
}

std::vector<std::string> VelmoraLogic::OutsideDomainsOf(const SDelayMail& mail) const {
    // Nothing is learned while confirmation is off: the sweep's releases stay cheap.
    if (!KeepsDomainHistory())
        return std::vector<std::string>();
    const SDomainMatcher matcher(settings->innerDomains, settings->innerDomainMatch);
    return OutsideDomains(mail.to, mail.cc, mail.bcc, matcher);
}

void VelmoraLogic::LearnDomains(const std::vector<std::string>& domains) {
    if (!KeepsDomainHistory())
        return;
    domainHistory->Load();
    domainHistory->Learn(domains, CurrentLocalTime());
}

// The host sends now; what the mail teaches waits until its window has gone.
void VelmoraLogic::ExpectLeaving(HWND compose, const SDelayMail& mail) {
    if (!learner || !KeepsDomainHistory())
        return;
    GuardedCall<int>(0, [&]() {
        // The hook is what sees the window go.
        composeManager->Register(compose);
        learner->Sending(compose, OutsideDomainsOf(mail));
        return 0;
    });
}

int VelmoraLogic::DecideOutgoing(HWND compose, int mode) {
    if (!delayLogic || !composeManager)
        return 0;
    if (mode != 0) {
        hostApi->BKA_CompSetSpecifiedHeader(compose, kStatusHeader, "");
        LogDecision(compose, EDecision::NotASend);
        return 0;
    }
    // A release lets through the one send it posted, and no later one.
    if (delayLogic->UsePass(compose)) {
        if (learner)
            learner->PassUsed(compose);
        if (holdEvents)
            holdEvents->PassUsed(compose);
        LogDecision(compose, EDecision::ReleasedBefore);
        return 0;
    }
    // Sent again after a release whose send failed: a new message, decided from the start.
    if (delayLogic->ReturnToUser(compose))
        hostApi->BKA_CompSetSpecifiedHeader(compose, kStatusHeader, "");
    if (learner)
        learner->CameBack(compose);

    // Decided first, so that the dialog tells what will happen. Ctrl skips the hold, not the
    // look; it is read at the send, not when the dialog closes.
    const bool ctrlDown = settings && settings->ctrlBypass && GetKeyState(VK_CONTROL) < 0;
    std::unique_ptr<char[]> ident(new char[kIdentSize]);
    ReadComposeHeader(hostApi, compose, "X-KRV-Ident", ident.get(), kIdentSize);
    const char* comma = strchr(ident.get(), ',');
    const bool identSends = comma && ParseDecimalInt(comma + 1) >= 1;

    // One read of the headers per send: every step below works on this snapshot.
    SCapturedHeaders snapshot;
    ReadCapturedHeaders(hostApi, compose, &snapshot);
    for (;;) {
        const bool confirms = settings && settings->confirmMode != kConfirmNever;
        SDelayMail mail;
        bool hold = false;
        if (confirms) {
            // The capture uses its headers up; the confirmation still needs them.
            SCapturedHeaders work(snapshot);
            hold = CaptureForHold(compose, &work, settings, &mail);
        } else {
            hold = CaptureForHold(compose, &snapshot, settings, &mail);
        }
        hold = hold && !ctrlDown && !identSends;
        if (confirms) {
            const SDomainHistory* history = domainHistory ? domainHistory->History() : nullptr;
            SCapturedHeaders now;
            const EConfirmAnswer answer = confirmation->Confirm(
                compose, snapshot, settings, history, hold ? mail.holdMinutes : 0, &now);
            if (answer == kConfirmChanged) {
                snapshot = std::move(now);
                continue;
            }
            // The plug-in may have ended while the dialog was open.
            if (answer != kConfirmGoOn || !delayLogic)
                return -1;
            // Held from the moment the user sent it from the dialog.
            mail.heldAt = CurrentLocalTime();
            mail.releaseAt = AddMinutes(mail.heldAt, mail.holdMinutes);
        }
        return ActOnDecision(compose, std::move(mail), hold, ctrlDown, identSends);
    }
}

int VelmoraLogic::ActOnDecision(HWND compose, SDelayMail&& mail, bool hold, bool ctrlDown,
                                bool identSends) {
    if (hold) {
        char key[kMailboxKeySize];
        FormMailboxKey(hostApi, key);
        LogDecision(mail.subject.c_str(), EDecision::Held);
        delayLogic->Keep(key, compose, std::move(mail));
        AddMailerHeader(compose);
        return -1;
    }
    delayLogic->LetGo(compose);
    if (ctrlDown) {
        LogDecision(mail.subject.c_str(), EDecision::CtrlDown);
    } else if (identSends) {
        LogDecision(mail.subject.c_str(), EDecision::IdentHeader);
        hostApi->BKA_CompSetSpecifiedHeader(compose, "X-KRV-Ident", "");
    } else {
        // An outer recipient would have been held unless the outer time is 0 too.
        LogDecision(mail.subject.c_str(), settings && settings->outerDelayTime > 0
                                              ? EDecision::InsideZeroHold
                                              : EDecision::ZeroHold);
    }
    if (holdEvents)
        holdEvents->SentAtOnce(mail, ctrlDown, identSends);
    ExpectLeaving(compose, mail);
    return 0;
}

void VelmoraLogic::LogDecision(HWND compose, EDecision reason) {
    // The subject is read only for a log that keeps debug lines.
    if (!NTessik::GetSink() || NTessik::MaxLevel() < 8)
        return;
    std::unique_ptr<char[]> subject(new char[kSubjectSize]);
    ReadComposeHeader(hostApi, compose, "Subject", subject.get(), kSubjectSize);
    LogDecision(subject.get(), reason);
}

void VelmoraLogic::LogDecision(LPCSTR subject, EDecision reason) {
    if (!NTessik::GetSink() || NTessik::MaxLevel() < 8)
        return;
    LogDebug(DecisionLogText(subject, reason).c_str());
}

int VelmoraLogic::OnEveryMinute() {
    // A send let through whose window is still open a minute later did not leave.
    if (learner)
        learner->DropStillOpen([](SWindowId window) { return IsWindow(WindowOf(window)) != 0; });
    if (delayLogic)
        delayLogic->ReleaseDue();
    return 0;
}

void VelmoraLogic::AddMailerHeader(HWND compose) {
    std::unique_ptr<char[]> value(new char[kMailerSize]);
    ReadComposeHeader(hostApi, compose, "X-Mailer-Plugin", value.get(), kMailerSize);
    const char* description = version->fileDescription ? version->fileDescription : "";
    const char* productVersion = version->productVersion ? version->productVersion : "";
    if (description[0] && strstr(value.get(), description))
        return;
    size_t length = strlen(value.get());
    if (length >= static_cast<size_t>(kMailerLimit))
        return;
    char entry[4200];
    snprintf(entry, sizeof(entry), "%s %s", description, productVersion);
    // The limit leaves room for the separator and our own entry.
    snprintf(value.get() + length, kMailerSize - length, "%s%s", length ? ", " : "", entry);
    hostApi->BKA_CompSetSpecifiedHeader(compose, "X-Mailer-Plugin", value.get());
}

bool VelmoraLogic::CanClose(HWND window) {
    // A message in an open confirmation is neither sent nor held: closing now would lose it.
    if (confirmation->IsAsking()) {
        MessageBoxA(window,
                    "宛先確認の画面が開いているため終了できません。\n"
                    "宛先確認の画面で送信するかキャンセルしてから終了してください。",
                    "宛先確認中です", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    bool held = delayLogic && delayLogic->AnyHeld();
    if (held) {
        int answer =
            MessageBoxA(window,
                        "送信保留メールが残っているため終了できません。\n"
                        "すべてを送信しますか？",
                        "送信保留メールがあります", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        if (answer == IDNO)
            return false;
    }
    if (delayLogic)
        delayLogic->ShowReleasedWindows();
    if (!held)
        return true;
    // The objects may be gone if the host ended the plug-in while the question was open.
    if (delayLogic)
        delayLogic->ReleaseAll();
    return false;
}

int VelmoraLogic::OnMenuInit(HWND, HMENU menu, int type) {
    return InsertHoldListCommand(hostApi, menu, type);
}

int VelmoraLogic::OnPlugInSetup(HWND owner) {
    if (!settings)
        return 0;
    LocalSettingForm form(instance, owner);
    form.settings = settings;
    const std::vector<std::string> before = settings->ValueTexts();
    // Null when the plug-in was ended while the dialog was open.
    if (form.DoModal() == IDOK && form.settings) {
        bool saved = SaveSetupValuesOrWarn(owner, settings);
        // The warning runs a message loop: the plug-in may have ended meanwhile.
        if (!saved)
            LogError(SetupNotSavedLogText().c_str());
        else if (settings) {
            LogInfo(SetupSavedLogText(settings->innerDomainsText, settings->innerDelayTime,
                                      settings->outerDelayTime)
                        .c_str());
            for (const std::string& line : ChangeLogLines(before, settings->ValueTexts()))
                LogInfo(line.c_str());
        }
    }
    return 1;
}

void VelmoraLogic::LogError(LPCSTR text) {
    Log(2, __LINE__, text);
}
void VelmoraLogic::LogDebug(LPCSTR text) {
    Log(8, __LINE__, text);
}
void VelmoraLogic::LogInfo(LPCSTR text) {
    Log(6, __LINE__, text);
}
