// A host for the unit tests: real compose windows with the stand-in client's header store, a
// data folder, the menu command registration, and the host functions over them.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "host/host_api.h"
#include "tools/standin/header_store.h"

class VelmoraLogic;

struct FakeComposeWindow {
    HeaderStore headers;
    std::vector<WPARAM> commands; // WM_COMMAND wParams received, in order
    bool closeCancelled = false;  // the user answers "cancel" to "save changes?"
};

// What BKA_RegisterCommand and BKA_RegisterUICallback were given.
struct FakeCommandRegistration {
    UINT nextId = 42; // BKA_RegisterCommand's answer
    int calls = 0;
    std::string caption;
    int target = -1;
    HostCommandProc proc = nullptr;
    UINT stateCommand = 0;
    HostCommandStateProc stateProc = nullptr;
};

class FakeHost {
  public:
    FakeHost();
    ~FakeHost();

    HWND OpenCompose();
    std::string Header(HWND window, const char* name);
    void SetHeader(HWND window, const char* name, const std::string& value);
    // Runs the messages posted so far (the host's handling of posted send commands).
    void Pump();
    std::vector<WPARAM> Commands(HWND window);
    int CountCommand(HWND window, WPARAM command);

    SHostApi api;
    HWND mainWindow;
    std::string mailbox;    // BKA_GetCurrentMailBox
    std::string dataFolder; // BKA_GetDataFolder, with its trailing backslash
    FakeCommandRegistration registered;
    std::map<HWND, FakeComposeWindow> compose;

    static FakeHost* current;
};

// Builds the plug-in logic on the real DLL's version resource and starts it against the host.
VelmoraLogic* StartLogic(FakeHost* host);
void StopLogic(VelmoraLogic* logic);

SYSTEMTIME MakeTime(int year, int month, int day, int hour, int minute, int second = 0, int ms = 0);

// Answers the next message box of this thread with the given button; returns its text.
class MessageBoxAnswer {
  public:
    explicit MessageBoxAnswer(int button);
    ~MessageBoxAnswer();
    std::string text;
    std::string caption;
    bool answered;
    int button;
};
