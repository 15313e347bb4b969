// The Windows Event Log's events: the table made from event_list.h, which events an EventLog
// level lets through, and the texts the events carry. Win32-free.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "journal/journal_record.h"

enum class EEventLevel { Error, Warning, Information };

enum class EEventId : unsigned {
#define ZV_EVENT(id, level, name, sentence) name = id,
#include "journal/event_list.h"
#undef ZV_EVENT
};

struct SEventRow {
    EEventId id;
    EEventLevel level;
    const char* name;
    const char* sentence; // the message table's text above the event's own text
};

// Every row in the list's order.
const SEventRow* EventTable(size_t* count);
// The row of an ID; every EEventId has one.
const SEventRow& EventRow(EEventId id);

// The EventLog level: nothing, errors and warnings, or everything.
const int kEventLogNone = 0;
const int kEventLogProblems = 1;
const int kEventLogAll = 2;
bool EventLevelWanted(EEventLevel level, int eventLogLevel);
// The operation log's level of an event: 2 error, 4 warning, 6 information.
int LogLevelOf(EEventLevel level);

// All a decision tells of the recipients: how many are outside and their domains, never an
// address or a subject.
struct SOutsideRecipients {
    int count = 0;
    std::vector<std::string> domains;
    bool moreDomains = false; // domains holds only the first of them
};

// A hold (with its minutes), a send let through at once, a road out of the hold or a cancelled
// confirmation: a head that names it, then the outside recipients. Empty for other events.
std::string DecisionEventText(EEventId id, const SOutsideRecipients& outside, int holdMinutes = 0);
// Sent from the confirmation with these kinds of warning ticked.
std::string WarnedSendEventText(const std::vector<std::string>& kinds,
                                const SOutsideRecipients& outside);
std::string LogNotOpenedEventText(const std::string& path, unsigned long error);
std::string SessionEndedEventText(int held);
// The count, then one line per message with its times: the notice names the rest to the user.
std::vector<std::string> LostMailEventLines(const std::vector<SLostMail>& lost);
