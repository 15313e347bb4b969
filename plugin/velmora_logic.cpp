#include "plugin/velmora_logic.h"

#include <memory>
#include <vector>

#include "confirm/domain_history_store.h"
#include "confirm/domain_learner.h"
#include "delay/compose_headers.h"
#include "delay/compose_manager.h"
#include "delay/delay_logic.h"
#include "delay/delay_sender.h"
#include "delay/held_mail_recorder.h"
#include "delay/hold_events.h"
#include "host/host_api.h"
#include "journal/event_log.h"
#include "journal/held_journal.h"
#include "journal/hold_log_text.h"
#include "journal/log_setup.h"
#include "journal/lost_mail_notice.h"
#include "journal/start_events.h"
#include "plugin/exit_check.h"
#include "plugin/main_window.h"
#include "plugin/menu_command.h"
#include "plugin/plugin_info.h"
#include "plugin/send_confirmation.h"
#include "plugin/send_story.h"
#include "plugin/setup_request.h"
#include "plugin/store_flush.h"
#include "settings/local_setting.h"
#include "settings/policy_source.h"
#include "settings/settings_path.h"
#include "support/log_writer.h"
#include "support/path_utils.h"
#include "support/version.h"
#include "ui/dialog.h"

namespace {

void Log(int level, int line, LPCSTR text) {
    NTessik::SLogWriter writer(NTessik::GetSink(), "VelmoraLogic", line, 0, 0, level);
    writer.Write("%s", text);
}

} // namespace

VelmoraLogic::VelmoraLogic(HINSTANCE instance, SHostApi* hostApi, LPCSTR modulePath)
    : SPluginLogic(instance, hostApi), version(nullptr), settings(nullptr), mainWindow(nullptr),
      composeManager(nullptr), delayLogic(nullptr), domainHistory(nullptr), learner(nullptr),
      holdEvents(nullptr), confirmation(nullptr), journal(nullptr), recorder(nullptr),
      storeFlush(nullptr), policyPath(PolicyFilePathBeside(modulePath)) {
    version = new SVersion(modulePath);
    confirmation = new SSendConfirmation(instance, hostApi, this);
}

// Unloaded without an exit: no subclass may be left pointing into freed code.
VelmoraLogic::~VelmoraLogic() {
    Stop();
    delete confirmation;
    delete version;
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
    newSettings->ReadAll(ReadPolicy(policyPath.c_str()));
    const bool logInstalled = InstallLogSink(*newSettings);
    StartEventLog(newSettings->Int(EKeyId::EventLog));
    // Which value is in force and where it came from: what an administrator checks first.
    LogStartEvents(*newSettings, logInstalled, version->productVersion);
    LogDebug(SettingsReadLogText(
                 newSettings->Text(EKeyId::InnerDomains).c_str(),
                 newSettings->Int(EKeyId::InnerDelayTime), newSettings->Int(EKeyId::OuterDelayTime),
                 newSettings->Int(EKeyId::CtrlBypass) != 0, newSettings->Int(EKeyId::LogLevel))
                 .c_str());

    HWND handles[4] = {nullptr, nullptr, nullptr, nullptr};
    hostApi->BKA_GetWindowHandles(&handles[0], &handles[1], &handles[2], &handles[3]);
    std::unique_ptr<SMainWindow> newMainWindow(new SMainWindow(this, handles[0]));
    std::unique_ptr<SComposeManager> newComposeManager(new SComposeManager(this));
    std::unique_ptr<SDelayLogic> newDelayLogic(new SDelayLogic(hostApi, newComposeManager.get()));
    const std::string folder = FolderOf(path);
    std::unique_ptr<SHeldJournal> newJournal(new SHeldJournal(folder.c_str()));
    std::unique_ptr<SHeldMailRecorder> newRecorder(new SHeldMailRecorder(newJournal.get(), this));
    std::vector<SLostMail> lost;
    if (newJournal->Open())
        newJournal->CollectLost(&lost);
    std::unique_ptr<SDomainHistoryStore> newHistory(new SDomainHistoryStore(folder.c_str()));
    std::unique_ptr<SStoreFlush> newFlush(
        new SStoreFlush(newMainWindow.get(), newRecorder.get(), newHistory.get()));
    SStoreFlush* flush = newFlush.get();
    newRecorder->SetFlushRequest([flush]() { flush->Request(); });
    newHistory->SetFlushRequest([flush]() { flush->Request(); });
    std::unique_ptr<SDomainLearner> newLearner(
        new SDomainLearner(newRecorder.get(), newSettings.get(), newHistory.get()));
    newLearner->LoadHistory();
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
    storeFlush = newFlush.release();
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
        // What it gives back is named at the next start instead.
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
    delete holdEvents;
    holdEvents = nullptr;
    delete learner;
    learner = nullptr;
    delete storeFlush;
    storeFlush = nullptr;
    delete settings;
    settings = nullptr;
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

void VelmoraLogic::FlushStores() {
    if (storeFlush)
        storeFlush->Flush();
}

int VelmoraLogic::OnOpenCompose(HWND compose, int mode) {
    if (!composeManager || mode == kComposeModeUntracked)
        return 0;
    hostApi->BKA_CompSetSpecifiedHeader(compose, kStatusHeader, "");
    composeManager->Register(compose);
    return 0;
}

int VelmoraLogic::OnOutgoing(HWND compose, int mode) {
    return TellSend(this, compose, mode);
}

int VelmoraLogic::OnEveryMinute() {
    // A send let through whose window is still open a minute later did not leave.
    if (learner)
        learner->DropStillOpen([](SWindowId window) { return IsWindow(WindowOf(window)) != 0; });
    if (delayLogic)
        delayLogic->ReleaseDue();
    return 0;
}

bool VelmoraLogic::CanClose(HWND window) {
    return CheckExit(this, window);
}

int VelmoraLogic::OnMenuInit(HWND, HMENU menu, int type) {
    return InsertHoldListCommand(hostApi, menu, type);
}

int VelmoraLogic::OnPlugInInfo(LPVOID info) {
    FillPluginInfo(info, *version);
    return 0;
}

int VelmoraLogic::OnPlugInSetup(HWND owner) {
    return RunSetup(this, owner);
}

void VelmoraLogic::LogError(LPCSTR text) {
    Log(NTessik::kLevelError, __LINE__, text);
}
void VelmoraLogic::LogDebug(LPCSTR text) {
    Log(NTessik::kLevelDebug, __LINE__, text);
}
void VelmoraLogic::LogInfo(LPCSTR text) {
    Log(NTessik::kLevelInfo, __LINE__, text);
}
