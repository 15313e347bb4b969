// The plug-in's logic: owns every long-lived object and decides whether a message is held.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "host/plugin_logic.h"
#include "journal/hold_log_text.h"

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
class SStringList;
class SDelayMail;

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
    virtual int OnMenuInit(HWND window, HMENU menu, int type);

    // The exit check: false refuses the close.
    bool CanClose(HWND window);
    void AddMailerHeader(HWND compose);
    // One debug line per outgoing decision, naming the subject.
    void LogDecision(HWND compose, EDecision reason);
    void LogDecision(LPCSTR subject, EDecision reason);
    // Writes what the journal has waiting.
    void FlushJournal();

    SVersion* version;
    LocalSetting* settings;
    SMainWindow* mainWindow;
    SComposeManager* composeManager;
    SDelayLogic* delayLogic;
    // The domains mail has left for; learns only while confirmation is on.
    SDomainHistoryStore* domainHistory;

  private:
    SHeldJournal* journal;
    SHeldMailRecorder* recorder;
    SDomainLearner* learner;
    SHoldEvents* holdEvents;
    // Lives as long as this object: a dialog it shows may outlast the exit.
    SSendConfirmation* confirmation;
    // A flush message is posted and not yet handled.
    bool flushPosted;
    // zVelmora.policy.ini beside this DLL; empty when the folder is unknown.
    std::string policyPath;

    void Start();
    void Stop();
    int DecideOutgoing(HWND compose, int mode);
    int ActOnDecision(HWND compose, SDelayMail&& mail, bool hold, bool ctrlDown, bool identSends);
    void RequestJournalFlush();
    bool KeepsDomainHistory() const;
    std::vector<std::string> OutsideDomainsOf(const SDelayMail& mail) const;
    void LearnDomains(const std::vector<std::string>& domains);
    void ExpectLeaving(HWND compose, const SDelayMail& mail);
};
