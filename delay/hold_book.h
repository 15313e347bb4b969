// The hold rules' memory: every held message of every mailbox, and every released window.
// Free of the platform, so the rules that must never lose or repeat a message run anywhere.
#pragma once

#include <string>
#include <vector>

#include "delay/delay_mail.h"
#include "journal/hold_log_text.h"

// Values of the X-VelmoraStatus header: a released message's is the number of its road.
enum EHoldStatus {
    kStatusNone = 0,
    kStatusHeld = 1,
    kStatusSentNow = static_cast<int>(EHoldRoad::SentNow),
    kStatusReleasedByTimer = static_cast<int>(EHoldRoad::ReleasedByTimer),
    kStatusReleasedAtExit = static_cast<int>(EHoldRoad::SentAtExit),
    kStatusReleasedForEdit = static_cast<int>(EHoldRoad::ReleasedForEdit),
};

// Told of every record that enters or leaves the hold.
class SHoldObserver {
  public:
    virtual ~SHoldObserver() = default;
    virtual void OnHeld(const std::string& mailbox, const SDelayMail& mail) = 0;
    virtual void OnLeft(const std::string& mailbox, const SDelayMail& mail, EHoldRoad road) = 0;
    // Any compose window the hold was told of has ended.
    virtual void OnWindowGone(SWindowId) {}
};

// One window released, and the status it leaves with.
struct SRelease {
    SWindowId window;
    int status;
};

class SHoldBook {
  public:
    SHoldBook();
    ~SHoldBook();

    // Takes a captured record into its mailbox's hold, in order of sending. A window that is
    // already held anywhere loses its old record first: one record per message, always.
    void Hold(const std::string& mailbox, SDelayMail&& mail);
    // Drops a window's held record (a fresh send that is not held replaces it with nothing).
    bool Replace(SWindowId window);

    // Each of these takes records out of the hold and marks their windows released.
    bool SendNow(SWindowId window, int status);
    // Due records of one mailbox: those whose release time is strictly before now. Nothing
    // while the mailbox is paused.
    std::vector<SRelease> ReleaseDue(const std::string& mailbox, const SLocalTime& now);
    std::vector<SRelease> ReleaseAll(const std::string& mailbox, int status);

    // The record leaves without a release: the user edits the message again.
    bool TakeBack(SWindowId window);
    // The record leaves without a release or any effect on the window.
    bool Forget(SWindowId window);
    // The window no longer exists: nothing of it may be remembered, its handle may be reused.
    void WindowGone(SWindowId window);

    bool IsHeld(SWindowId window) const;
    bool IsReleased(SWindowId window) const;
    // A release lets the one send it posted through: true once, for that send only.
    bool UsePass(SWindowId window);
    // The user sends from a released window again: a new message, no longer released.
    bool ReturnToUser(SWindowId window);
    const std::vector<SWindowId>& ReleasedWindows() const { return released; }
    // The held records of a mailbox in order of sending; empty for an unknown one.
    const std::vector<SDelayMail>& Mails(const std::string& mailbox) const;
    int Count(const std::string& mailbox) const;
    bool AnyHeld() const;
    // The mailboxes in the order they first held something.
    std::vector<std::string> Mailboxes() const;

    // Pauses nest: the mailbox's sweep releases nothing until every pause has ended.
    void Pause(const std::string& mailbox);
    void Resume(const std::string& mailbox);
    bool IsPaused(const std::string& mailbox) const;

    void SetObserver(SHoldObserver* newObserver) { observer = newObserver; }

  private:
    struct SMailbox {
        std::string key;
        std::vector<SDelayMail> mails;
        int pauses;
    };
    SMailbox* Find(const std::string& mailbox);
    const SMailbox* Find(const std::string& mailbox) const;
    SMailbox& FindOrAdd(const std::string& mailbox);
    // The mailbox and index of a window's record, or false.
    bool Locate(SWindowId window, SMailbox** box, size_t* index);
    SDelayMail Take(SMailbox* box, size_t index, EHoldRoad road);
    // The window's record leaves by that road; false when the window holds nothing.
    bool TakeOut(SWindowId window, EHoldRoad road);
    void MarkReleased(SWindowId window);
    std::vector<SRelease> TakeMatching(SMailbox* box, int status, const SLocalTime* dueBefore);

    std::vector<SMailbox*> mailboxes;
    std::vector<SWindowId> released;
    // Released windows whose posted send has not come yet.
    std::vector<SWindowId> passes;
    SHoldObserver* observer;

    SHoldBook(const SHoldBook&) = delete;
    SHoldBook& operator=(const SHoldBook&) = delete;
};
