// The record of one held message: its compose window, times, and what the hold list shows.
#pragma once

#include <string>
#include <vector>

#include "support/local_time.h"

class SStringList;
class SSendRecipients;

// A compose window as the hold rules see it: an identity, never a handle to act on.
typedef void* SWindowId;

// The two hold times of the settings, in minutes; 0 or less means "not held".
struct SHoldTimes {
    int innerMinutes;
    int outerMinutes;
};

// Size of the buffer each header is read into; a text of one byte less fills it.
const int kHeaderBufferSize = 65536;

// What the compose window's headers said at the send: the one snapshot every step of the send
// reads. The hold's record takes its subject and sender, and without the confirmation the
// classification uses the recipient texts up.
struct SCapturedHeaders {
    std::string subject;
    std::string from;
    std::string to;
    std::string cc;
    std::string bcc;
    // The host's answer said a recipient header was longer than the buffer.
    bool recipientsCut = false;
    int cutField = 0; // the first of To, Cc, Bcc (0, 1, 2) it said so of
};

class SDelayMail {
  public:
    SDelayMail();
    SDelayMail(const SDelayMail& other);
    SDelayMail& operator=(const SDelayMail& other);
    // Moves keep the held list cheap to reorder: the lists change owner, nothing is copied.
    SDelayMail(SDelayMail&& other) noexcept;
    SDelayMail& operator=(SDelayMail&& other) noexcept;
    ~SDelayMail();

    // Fills the record of a message sent now: subject and sender taken from the headers, the
    // recipients' lists from their classification, held for holdMinutes (0 or less: not held,
    // no release time).
    void Capture(SWindowId window, SCapturedHeaders* headers, SSendRecipients* recipients,
                 int holdMinutes, const SLocalTime& now);

    SWindowId composeWindow;
    SLocalTime heldAt;
    SLocalTime releaseAt;
    std::string subject;
    std::string from;
    SStringList* to;
    SStringList* cc;
    SStringList* bcc;
    int innerCount;
    int outerCount;
    int holdMinutes;
    // The distinct lower-case domains of the plain outside entries, sorted; at most
    // kKeptOuterDomains, outerDomainsCut when there were more.
    std::vector<std::string> outerDomains;
    bool outerDomainsCut;

  private:
    void FreeLists();
};
