// The held messages of one mailbox, as the host sees them: the status header, the hidden
// window, the posted send command. What is held and what was released is the hold book's.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "delay/hold_book.h"
#include "host/host_numbers.h"

class SComposeManager;
struct SHostApi;

extern const char kStatusHeader[]; // "X-VelmoraStatus"

// Shows and focuses every released window still open, in every mailbox; a window no longer
// there is forgotten, since without a hook nothing else would see it end.
void ShowReleasedWindows(SHoldBook* book);

class SDelaySenderLogic {
  public:
    SDelaySenderLogic(SHoldBook* book, SHostApi* hostApi, SComposeManager* composeManager,
                      const char* mailboxPath);
    // Takes a record captured for holding into the hold: status header, hidden window.
    void Hold(HWND window, SDelayMail&& mail);
    // A send that is not held: a record still held for the window must not release it again.
    void LetGo(HWND window);
    bool SendNow(HWND window, int status);
    bool ReleaseAll();
    bool ReleaseAllForEdit();
    // The message back in its window for the user to edit; null when it is not held here.
    HWND TakeBack(HWND window);
    bool Forget(HWND window);
    bool ReleaseDue();
    const std::vector<SDelayMail>& GetMails() const;
    int HeldCount() const;

    // The host's side of a release: the status header and the posted send command.
    bool Release(HWND window, int status);
    const std::string& MailboxPath() const { return mailboxPath; }

  private:
    bool Owns(HWND window) const;
    void SetStatus(HWND window, int status);

    SHoldBook* book;
    SHostApi* hostApi;
    SComposeManager* composeManager;
    std::string mailboxPath;

    SDelaySenderLogic(const SDelaySenderLogic&) = delete;
    SDelaySenderLogic& operator=(const SDelaySenderLogic&) = delete;
};
