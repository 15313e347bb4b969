// Texts of the operation log's events, one line each once the sink escapes them. Every line the
// log writes is made by a function here, in confirm/confirm_text.h or in settings/setting_merge.h,
// so that the guide's catalogue of log lines, printed from these, lists them all. Win32-free.
#pragma once

#include <string>

#include "support/local_time.h"

// The roads out of the hold. A release's number is the X-VelmoraStatus value its message
// leaves with.
enum class EHoldRoad {
    SentNow = 2,
    ReleasedByTimer = 3,
    SentAtExit = 4,
    ReleasedForEdit = 5,
    TakenBack = 10, // given back to the user for editing
    Forgotten = 11, // its window is gone, or the hold ended with the plug-in
    Replaced = 12,  // sent again while held: a fresh capture takes its place
};

const size_t kLogSubjectBytes = 256;
const size_t kLogListBytes = 1024;

std::string HeldLogText(const char* mailbox, const char* subject, int innerCount, int outerCount,
                        int holdMinutes, const SLocalTime& releaseAt);
std::string LeftHoldLogText(EHoldRoad road, const char* mailbox, const char* subject);
std::string SetupSavedLogText(const char* innerDomains, int innerMinutes, int outerMinutes);
std::string StartLogText(const char* version, const char* settingsPath);
std::string ExitLogText(int stillHeld);
std::string LostMailLogText(int lostCount);
// At the debug level: the settings as read at start, and why one outgoing message was held or
// let go at once.
std::string SettingsReadLogText(const char* innerDomains, int innerMinutes, int outerMinutes,
                                bool ctrlBypass, int logLevel);
enum class EDecision {
    Held,
    NotASend,       // the client asked for a save or another mode
    ReleasedBefore, // a window the plug-in already let go
    CtrlDown,
    IdentHeader,    // X-KRV-Ident asked for at once
    InsideZeroHold, // every recipient inside and the inner time 0
    ZeroHold
};
std::string DecisionLogText(const char* subject, EDecision decision);
std::string SetupNotSavedLogText();

// What went wrong with the held mail's records.
enum class EJournalTrouble {
    NoFolder,
    NoLockFile,
    NotWritten,
    NotRemoved,
    NoHistory,
    ChangedWhileRead, // damage, not an error of the system: no error number
    Damaged
};
std::string JournalLogText(EJournalTrouble trouble, unsigned long error, const char* path);
