// The held messages of one mailbox, as the host sees them: the status header, the hidden
// window, the posted send command. What is held and what was released is the hold book's.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "delay/hold_book.h"

class LocalSetting;
class SComposeManager;
struct SHostApi;

// Command ids of the host's compose window.
const WPARAM kComposeSendCommand = 10519;
const WPARAM kComposeEditCommand = 10520;

extern const char kStatusHeader[]; // "X-VelmoraStatus"

// Shows and focuses every released window still open, in every mailbox; a window no longer
// there is forgotten, since without a hook nothing else would see it end.
void ShowReleasedWindows(SHoldBook* book);

// The hold decision for one send: classifies the captured headers (using them up) at the time
// now; true when the message is to be held.
bool CaptureForHold(HWND window, SCapturedHeaders* headers, const LocalSetting* settings,
                    SDelayMail* mail);

class SDelaySenderLogic {
  public:
    SDelaySenderLogic(SHoldBook* book, SHostApi* hostApi, LocalSetting* settings,
                      SComposeManager* composeManager, const char* mailboxPath);
    virtual ~SDelaySenderLogic();
    virtual bool Hold(HWND window);
    // Takes a record captured for holding into the hold: status header, hidden window.
    void Keep(HWND window, SDelayMail&& mail);
    // A send that is not held: a record still held for the window must not release it again.
    void LetGo(HWND window);
    virtual bool SendNow(HWND window, int status);
    virtual bool ReleaseAll();
    virtual bool ReleaseAllForEdit();
    virtual HWND ReEdit(HWND window);
    virtual bool Forget(HWND window);
    virtual bool ReleaseDue();
    virtual const std::vector<SDelayMail>& GetMails() const;
    virtual int GetCount() const;

    // The host's side of a release: the status header and the posted send command.
    bool Release(HWND window, int status);
    const std::string& MailboxPath() const { return mailboxPath; }

  private:
    bool Owns(HWND window) const;
    void SetStatus(HWND window, int status);

    SHoldBook* book;
    SHostApi* hostApi;
    LocalSetting* settings;
    SComposeManager* composeManager;
    std::string mailboxPath;

    SDelaySenderLogic(const SDelaySenderLogic&) = delete;
    SDelaySenderLogic& operator=(const SDelaySenderLogic&) = delete;
};
