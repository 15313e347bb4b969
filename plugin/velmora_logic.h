// The plug-in's logic: owns every long-lived object, builds them at the start and ends them at
// the exit; each callback of the host is handed to the part that does it.
#pragma once
#include <windows.h>

#include <string>

#include "host/plugin_logic.h"

class SVersion;
class LocalSetting;
class SMainWindow;
class SComposeManager;
class SDelayLogic;
class SHeldJournal;
class SHeldMailRecorder;
class SSendConfirmation;
class SDomainHistoryStore;
class SDomainLearner;
class SHoldEvents;
class SStoreFlush;

class VelmoraLogic : public SPluginLogic {
  public:
    VelmoraLogic(HINSTANCE instance, SHostApi* hostApi, LPCSTR modulePath);
    ~VelmoraLogic() override;

    int OnPlugInInfo(LPVOID info) override;
    int OnPlugInSetup(HWND owner) override;
    int OnStart() override;
    int OnExit() override;
    int OnOutgoing(HWND compose, int mode) override;
    int OnEveryMinute() override;
    int OnOpenCompose(HWND compose, int mode) override;
    void LogError(LPCSTR text) override;
    void LogDebug(LPCSTR text) override;
    void LogInfo(LPCSTR text) override;
    int OnMenuInit(HWND window, HMENU menu, int type);

    // The exit check: false refuses the close.
    bool CanClose(HWND window);
    // The posted flush has come: the journal and the domain history are written.
    void FlushStores();

    SVersion* version;
    LocalSetting* settings;
    SMainWindow* mainWindow;
    SComposeManager* composeManager;
    SDelayLogic* delayLogic;
    // The domains mail has left for; learns only while confirmation is on.
    SDomainHistoryStore* domainHistory;
    SDomainLearner* learner;
    // Tells the Event Log of each decision and road out of the hold.
    SHoldEvents* holdEvents;
    // Lives as long as this object: a dialog it shows may outlast the exit.
    SSendConfirmation* confirmation;

  private:
    SHeldJournal* journal;
    SHeldMailRecorder* recorder;
    SStoreFlush* storeFlush;
    // zVelmora.policy.ini beside this DLL; empty when the folder is unknown.
    std::string policyPath;

    void Start();
    void Stop();
};
