// The text of one held-mail journal record, and back. Win32-free.
#pragma once

#include <cstddef>
#include <string>

#include "support/local_time.h"

// A held message as the journal keeps it (never the body).
struct SLostMail {
    std::string owner; // the lock name of the process that held it
    unsigned long long id = 0;
    SLocalTime heldAt = {};
    SLocalTime dueAt = {};
    std::string mailbox;
    std::string subject;
    std::string from;
    std::string to;
    std::string cc;
    std::string bcc;
};

extern const char kJournalMagic[]; // the first line of every record
const size_t kJournalFieldLimit = 4096;
const size_t kJournalRecordLimit = 1024 * 1024;

// "YYYY/MM/DD hh:mm:ss".
std::string TimeText(const SLocalTime& t);
// The inverse; false for anything else or a field out of range.
bool ParseTimeText(const std::string& text, SLocalTime* t);

// Lines ending in CR LF: the magic, one key=value line per field, "end". Every text is cut
// to kJournalFieldLimit bytes on a character boundary (a cut one ends in "...") and escaped.
std::string FormatJournalRecord(const SLostMail& mail);

// False for anything that is not one whole record: wrong magic, a missing or repeated
// field, a bad time or id, no "end" line, more than kJournalRecordLimit bytes.
bool ParseJournalRecord(const char* data, size_t size, SLostMail* mail);

// True for a name made only of letters, digits and '-', 1 to 64 long: safe in a file name.
bool IsJournalOwnerName(const std::string& name);
