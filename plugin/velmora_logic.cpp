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
#include "delay/recipient_class.h"
#include "host/host_api.h"
#include "host/mailbox_key.h"
#include "plugin/main_window.h"
#include "plugin/menu_command.h"
#include "plugin/send_confirmation.h"
#include "journal/held_journal.h"
#include "journal/hold_log_text.h"
#include "settings/local_setting.h"
#include "settings/policy_source.h"
#include "journal/log_setup.h"
#include "journal/lost_mail_notice.h"
#include "setup/setting_forms.h"
#include "settings/settings_path.h"
#include "setup/setup_save.h"
#include "ui/dialog.h"
#include "support/guard.h"
#include "support/int_parse.h"
#include "support/log_writer.h"
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
      recorder(nullptr), learner(nullptr), confirmation(nullptr) {
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

    char modulePath[MAX_PATH] = "";
    GetModuleFileNameA(instance, modulePath, sizeof modulePath);
    modulePath[sizeof modulePath - 1] = '\0';
    std::unique_ptr<LocalSetting> newSettings(new LocalSetting(path));
    newSettings->ReadAll(ReadPolicy(PolicyFilePathBeside(modulePath).c_str()));
    InstallLogSink(*newSettings);
    LogInfo(StartLogText(version->productVersion, path).c_str());
    // Which value is in force and where it came from: what an administrator checks first.
    for (const std::string& line : newSettings->startLog)
        LogInfo(line.c_str());
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
    std::unique_ptr<SHeldJournal> newJournal(new SHeldJournal(SettingsFolderOf(path).c_str()));
    std::unique_ptr<SHeldMailRecorder> newRecorder(new SHeldMailRecorder(newJournal.get(), this));
    std::vector<SLostMail> lost;
    if (newJournal->Open())
        newJournal->CollectLost(&lost);
    newRecorder->SetFlushRequest([this]() { RequestJournalFlush(); });
    std::unique_ptr<SDomainHistoryStore> newHistory(
        new SDomainHistoryStore(SettingsFolderOf(path).c_str()));
    newHistory->SetFlushRequest([this]() { RequestJournalFlush(); });
    if (newSettings->confirmMode != 0)
        newHistory->Load();
    std::unique_ptr<SDomainLearner> newLearner(
        new SDomainLearner(newRecorder.get(), [this](const SDelayMail& mail) {
            LearnDomains(mail.to, mail.cc, mail.bcc);
        }));
    newDelayLogic->SetObserver(newLearner.get());

    settings = newSettings.release();
    composeManager = newComposeManager.release();
    delayLogic = newDelayLogic.release();
    journal = newJournal.release();
    recorder = newRecorder.release();
    domainHistory = newHistory.release();
    learner = newLearner.release();
    mainWindow = newMainWindow.release();
    // Hooked last: the exit check must find the objects it asks about.
    mainWindow->Attach();
    // Mail held when an earlier client ended without this exit was never sent: say so once.
    if (!lost.empty()) {
        LogError(LostMailLogText(static_cast<int>(lost.size())).c_str());
        ShowLostMailNotice(handles[0], lost);
    }
}

void VelmoraLogic::RequestJournalFlush() {
    if (mainWindow && mainWindow->subclassed &&
        PostMessageA(mainWindow->window, JournalFlushMessage(), 0, 0))
        return;
    FlushJournal();
}

void VelmoraLogic::FlushJournal() {
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
    // Mail the plug-in released was learned when it left the hold.
    const bool learns = mode == 0 && KeepsDomainHistory() && !delayLogic->IsReleased(compose);
    const int result = DecideOutgoing(compose, mode);
    // The plug-in may have ended while a dialog of the decision was open.
    if (learns && result == 0 && KeepsDomainHistory())
        LearnSentAtOnce(compose);
    return result;
}

bool VelmoraLogic::KeepsDomainHistory() const {
    return settings && delayLogic && domainHistory && settings->confirmMode != 0;
}

void VelmoraLogic::LearnDomains(const SStringList* to, const SStringList* cc,
                                const SStringList* bcc) {
    if (!KeepsDomainHistory())
        return;
    domainHistory->Load();
    const SDomainMatcher matcher(settings->innerDomains, settings->innerDomainMatch);
    domainHistory->Learn(OutsideDomains(to, cc, bcc, matcher), CurrentLocalTime());
}

// The message leaves as the host sends it now: its recipients are read before the window goes.
void VelmoraLogic::LearnSentAtOnce(HWND compose) {
    GuardedCall<int>(0, [&]() {
        SCapturedHeaders headers;
        ReadCapturedHeaders(hostApi, compose, &headers);
        const SDomainMatcher matcher(nullptr);
        int inner = 0, outer = 0;
        std::unique_ptr<SStringList> to(
            ClassifyRecipients(&headers.to[0], matcher, &inner, &outer));
        std::unique_ptr<SStringList> cc(
            ClassifyRecipients(&headers.cc[0], matcher, &inner, &outer));
        std::unique_ptr<SStringList> bcc(
            ClassifyRecipients(&headers.bcc[0], matcher, &inner, &outer));
        LearnDomains(to.get(), cc.get(), bcc.get());
        return 0;
    });
}

int VelmoraLogic::DecideOutgoing(HWND compose, int mode) {
    if (!delayLogic || !composeManager)
        return 0;
    if (mode != 0) {
        hostApi->BKA_CompSetSpecifiedHeader(compose, kStatusHeader, "");
        LogDecision(compose, "保留しない: 送信モードが0以外（保存など）");
        return 0;
    }
    if (delayLogic->IsReleased(compose)) {
        LogDecision(compose, "すぐに送信: Velmora が保留を終えたメール");
        return 0;
    }
    // Ctrl skips the hold, not the look; it is read at the send, not when the dialog closes.
    const bool ctrlDown = settings && settings->ctrlBypass && GetKeyState(VK_CONTROL) < 0;
    const SDomainHistory* history = domainHistory ? domainHistory->History() : nullptr;
    if (!confirmation->Confirm(compose, settings, history, ctrlDown))
        return -1;
    if (ctrlDown) {
        LogDecision(compose, "すぐに送信: Ctrl キーが押されていた");
        return 0;
    }

    std::unique_ptr<char[]> ident(new char[kIdentSize]);
    ReadComposeHeader(hostApi, compose, "X-KRV-Ident", ident.get(), kIdentSize);
    const char* comma = strchr(ident.get(), ',');
    if (comma && ParseDecimalInt(comma + 1) >= 1) {
        LogDecision(compose, "すぐに送信: X-KRV-Ident ヘッダーの指定");
        hostApi->BKA_CompSetSpecifiedHeader(compose, "X-KRV-Ident", "");
        return 0;
    }

    char key[kMailboxKeySize];
    FormMailboxKey(hostApi, key);
    if (!delayLogic->Hold(key, compose)) {
        // An outer recipient would have been held unless the outer time is 0 too.
        LogDecision(compose, settings && settings->outerDelayTime > 0
                                 ? "すぐに送信: 宛先がすべて組織内で、組織内の保留時間が0"
                                 : "すぐに送信: 保留時間が0");
        return 0;
    }
    LogDecision(compose, "保留");
    AddMailerHeader(compose);
    return -1;
}

void VelmoraLogic::LogDecision(HWND compose, LPCSTR reason) {
    // The subject is read only for a log that keeps debug lines.
    if (!NTessik::GetSink() || NTessik::MaxLevel() < 8)
        return;
    std::unique_ptr<char[]> subject(new char[kSubjectSize]);
    ReadComposeHeader(hostApi, compose, "Subject", subject.get(), kSubjectSize);
    LogDebug(DecisionLogText(subject.get(), reason).c_str());
}

int VelmoraLogic::OnEveryMinute() {
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
            LogError("設定を保存できませんでした");
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
