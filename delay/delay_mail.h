// The record of one held message: its compose window, times, and what the hold list shows.
#pragma once
#include <windows.h>

#include <string>

#include "delay/local_time.h"

class VelmoraLogic;
class SStringList;
class SDomainMatcher;
struct SHostApi;

class SDelayMail {
  public:
    SDelayMail();
    SDelayMail(const SDelayMail& other);
    SDelayMail& operator=(const SDelayMail& other);
    // Moves keep the held list cheap to reorder: the lists change owner, nothing is copied.
    SDelayMail(SDelayMail&& other) noexcept;
    SDelayMail& operator=(SDelayMail&& other) noexcept;
    // Writes the hold time in minutes; true when it is above 0.
    virtual bool GetDelayMinutes(VelmoraLogic* logic, int* minutes);
    virtual ~SDelayMail();

    // Fills the record from the compose window; true when the message is to be held.
    bool Capture(HWND window, VelmoraLogic* logic);

    HWND composeWindow;
    SYSTEMTIME heldAt;
    SYSTEMTIME releaseAt;
    std::string subject;
    std::string from;
    SStringList* to;
    SStringList* cc;
    SStringList* bcc;
    int innerCount;
    int outerCount;

  private:
    void FreeLists();
};

const int kHeaderBufferSize = 65536;

// Reads one recipient header, counts each entry inner or outer against the inner domains
// matcher and returns the raw entries (null when there are none). buffer holds
// kHeaderBufferSize bytes.
SStringList* ReadRecipients(SHostApi* hostApi, HWND window, LPCSTR header, char* buffer,
                            const SDomainMatcher& matcher, int* innerCount, int* outerCount);
