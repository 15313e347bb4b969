// The held messages of one mailbox, and everything that happens to them in the host.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "delay/delay_mail.h"

class VelmoraLogic;
class LocalSetting;
class SComposeManager;
struct SHostApi;

// Command ids of the host's compose window.
const WPARAM kComposeSendCommand = 10519;
const WPARAM kComposeEditCommand = 10520;

// Values of the X-VelmoraStatus header.
enum EHoldStatus {
    kStatusNone = 0,
    kStatusHeld = 1,
    kStatusSentNow = 2,
    kStatusReleasedByTimer = 3,
    kStatusReleasedAtExit = 4,
    kStatusReleasedForEdit = 5,
};

extern const char kStatusHeader[]; // "X-VelmoraStatus"

class SDelaySenderLogic {
  public:
    SDelaySenderLogic(VelmoraLogic* logic, const char* mailboxPath);
    virtual ~SDelaySenderLogic();
    virtual bool Hold(HWND window);
    virtual bool SendNow(HWND window, int status);
    virtual bool ReleaseAll();
    virtual bool ReleaseAllForEdit();
    virtual HWND ReEdit(HWND window);
    virtual bool Forget(HWND window);
    virtual bool ReleaseDue();
    virtual const std::vector<SDelayMail>& GetMails() const;
    virtual int GetCount() const;

    bool Release(HWND window, int status);
    bool IsHeld(HWND window) const { return FindMail(window) >= 0; }

    VelmoraLogic* logic;
    SHostApi* hostApi;
    LocalSetting* settings;
    SComposeManager* composeManager;
    std::string mailboxPath;
    std::vector<SDelayMail> mails;
    BYTE paused;

  private:
    int FindMail(HWND window) const;
    void RemoveMail(int index);
    void SetStatus(HWND window, int status);
    void ShowReleasedWindows();
    SDelaySenderLogic(const SDelaySenderLogic&) = delete;
    SDelaySenderLogic& operator=(const SDelaySenderLogic&) = delete;
};
