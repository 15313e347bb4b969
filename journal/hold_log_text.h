// Texts of the operation log's events, one line each once the sink escapes them. Win32-free.
#pragma once

#include <string>

#include "support/local_time.h"

// The roads out of the hold.
enum class SHoldRoad {
    ReleasedByTimer,
    SentNow,
    SentAtExit,
    ReleasedForEdit,
    TakenBack,
    Forgotten,
    Replaced
};

const size_t kLogSubjectBytes = 256;
const size_t kLogListBytes = 1024;

std::string HeldLogText(const char* mailbox, const char* subject, int innerCount, int outerCount,
                        int holdMinutes, const SLocalTime& releaseAt);
std::string LeftHoldLogText(SHoldRoad road, const char* mailbox, const char* subject);
std::string SetupSavedLogText(const char* innerDomains, int innerMinutes, int outerMinutes);
std::string StartLogText(const char* version, const char* settingsPath);
std::string ExitLogText(int stillHeld);
std::string LostMailLogText(int lostCount);
// At the debug level: the settings as read at start, and why one outgoing message was held or
// let go at once.
std::string SettingsReadLogText(const char* innerDomains, int innerMinutes, int outerMinutes,
                                bool ctrlBypass, int logLevel);
std::string DecisionLogText(const char* subject, const char* reason);
