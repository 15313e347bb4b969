// The look before a send leaves: decides whether to ask, asks, and logs the answer.
#pragma once
#include <windows.h>

#include <vector>

class LocalSetting;
class SDomainHistory;
class SLogTarget;
class SSendRecipients;
struct SCapturedHeaders;
struct SHostApi;

enum EConfirmAnswer {
    kConfirmGoOn = 0,    // nothing to confirm, or the user sent
    kConfirmRefused = 1, // cancelled, or the window or the plug-in ended meanwhile
    kConfirmChanged = 2, // the recipients changed while the dialog was open: ask again
};

class SSendConfirmation {
  public:
    SSendConfirmation(HINSTANCE instance, SHostApi* hostApi, SLogTarget* log);

    // Asks about the recipients of the one snapshot the decision took, as it classified them.
    // The settings and the history are read only before the dialog: the plug-in may end while
    // it is open. holdMinutes: what the decision will do, which the dialog says (0: sent at
    // once). On kConfirmChanged, now holds the headers as they are after the dialog.
    EConfirmAnswer Confirm(HWND compose, const SCapturedHeaders& headers,
                           const SSendRecipients& recipients, const LocalSetting* settings,
                           const SDomainHistory* history, int holdMinutes, SCapturedHeaders* now);

    // A confirmation is open: its message is neither sent nor held yet.
    bool IsAsking() const { return !asking.empty(); }

  private:
    SSendConfirmation(const SSendConfirmation&) = delete;
    SSendConfirmation& operator=(const SSendConfirmation&) = delete;

    HINSTANCE instance;
    SHostApi* hostApi;
    SLogTarget* log;
    // Compose windows whose dialog is open: a second send of one is refused, not asked again.
    std::vector<HWND> asking;
};
