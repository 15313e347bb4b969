// The look before a send leaves: decides whether to ask, asks, and logs the answer.
#pragma once
#include <windows.h>

#include <vector>

class LocalSetting;
class SDomainHistory;
class SLogTarget;
struct SHostApi;

class SSendConfirmation {
  public:
    SSendConfirmation(HINSTANCE instance, SHostApi* hostApi, SLogTarget* log);

    // True when the send may go on to the hold decision: nothing to confirm, or the user sent.
    // False when the user cancelled, or the window or the plug-in ended meanwhile. The
    // settings and the history are read only before the dialog: the plug-in may end while it
    // is open. sendsAtOnce: the hold will be skipped, which the dialog says.
    bool Confirm(HWND compose, const LocalSetting* settings, const SDomainHistory* history,
                 bool sendsAtOnce);

  private:
    SSendConfirmation(const SSendConfirmation&) = delete;
    SSendConfirmation& operator=(const SSendConfirmation&) = delete;

    HINSTANCE instance;
    SHostApi* hostApi;
    SLogTarget* log;
    // Compose windows whose dialog is open: a second send of one is refused, not asked again.
    std::vector<HWND> asking;
};
