// The hold queue: one delayed sender per mailbox, keyed by the host's mailbox text, over one
// hold book that remembers every message's state.
#pragma once
#include <windows.h>

#include <vector>

#include "delay/delay_sender.h"
#include "delay/hold_book.h"

class SComposeManager;
class SDelaySenderLogic;
class SHoldPause;
struct SHostApi;

class SDelayLogic {
  public:
    SDelayLogic(SHostApi* hostApi, SComposeManager* composeManager);
    ~SDelayLogic();
    // Acts on a decision already taken: mail captured for holding is held, other mail let go.
    void Hold(const char* mailboxPath, HWND window, SDelayMail&& mail);
    void LetGo(HWND window);
    bool ReleaseAll();
    bool ReleaseDue();

    // The sender of that mailbox, or null; compared byte for byte, with case.
    SDelaySenderLogic* FindSender(const char* mailboxPath) const;

    // What the user interface may ask and do, and nothing more.
    bool AnyHeld() const;
    int HeldCount() const;
    int HeldCount(const char* mailboxPath) const;
    // A copy: the caller may run a message loop while it looks at the rows.
    std::vector<SDelayMail> ListHeld(const char* mailboxPath) const;
    bool SendNow(const char* mailboxPath, HWND window);
    // Every held message back in its window for the user: the plug-in is ending, and a hidden
    // window that nothing will release would be mail lost without a word.
    void TakeBackAll();
    HWND TakeBack(const char* mailboxPath, HWND window);

    // A message the plug-in released passes the outgoing check, once.
    bool IsReleased(HWND window) const;
    bool UsePass(HWND window) { return book.UsePass(window); }
    // A released window sends again: a new message. False when it was not released.
    bool ReturnToUser(HWND window) { return book.ReturnToUser(window); }
    bool IsPaused(const char* mailboxPath) const;
    // The exit check's show-again of released windows that are still open.
    void ShowReleasedWindows() { ::ShowReleasedWindows(&book); }
    void SetObserver(SHoldObserver* observer) { book.SetObserver(observer); }

  private:
    friend class SHoldPause;
    SDelaySenderLogic& SenderOf(const char* mailboxPath);

    SHostApi* hostApi;
    SComposeManager* composeManager;
    SHoldBook book;
    std::vector<SDelaySenderLogic*> senders;
    std::vector<SHoldPause*> pauses;

    SDelayLogic(const SDelayLogic&) = delete;
    SDelayLogic& operator=(const SDelayLogic&) = delete;
};

// Pauses one mailbox's sweep for as long as it lives. It ends on every road out, and outlives
// the queue harmlessly: when the plug-in ends first, Queue() becomes null.
class SHoldPause {
  public:
    SHoldPause(SDelayLogic* queue, const char* mailboxPath);
    ~SHoldPause();
    SDelayLogic* Queue() const { return queue; }

  private:
    friend class SDelayLogic;
    SDelayLogic* queue;
    std::string mailboxPath;

    SHoldPause(const SHoldPause&) = delete;
    SHoldPause& operator=(const SHoldPause&) = delete;
};
