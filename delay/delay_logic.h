// The hold queue: one delayed sender per mailbox, keyed by the host's mailbox text.
#pragma once
#include <windows.h>

#include <vector>

class VelmoraLogic;
class LocalSetting;
class SDelaySenderLogic;
struct SHostApi;

class SDelayLogic {
  public:
    explicit SDelayLogic(VelmoraLogic* logic);
    virtual ~SDelayLogic();
    virtual bool Hold(const char* mailboxPath, HWND window);
    virtual bool ReleaseAll();
    virtual bool ReleaseDue();

    // The sender of that mailbox, or null; compared byte for byte, with case.
    SDelaySenderLogic* FindSender(const char* mailboxPath) const;
    // Drops the record of a compose window that no longer exists, in every mailbox.
    void ForgetWindow(HWND window);

    VelmoraLogic* logic;
    SHostApi* hostApi;
    LocalSetting* settings;
    std::vector<SDelaySenderLogic*> senders;

  private:
    SDelayLogic(const SDelayLogic&) = delete;
    SDelayLogic& operator=(const SDelayLogic&) = delete;
};
