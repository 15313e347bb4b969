// A plug-in logic with a settings file, a hold queue and one mailbox's held messages, on a
// host made of this test's own functions.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "host/host_api.h"

class VelmoraLogic;
class SDelaySenderLogic;

class HoldWorld {
  public:
    // settingsText is written as Velmora.ini before the record reads it.
    explicit HoldWorld(const std::string& settingsText = "",
                       HINSTANCE instance = GetModuleHandleA(nullptr));
    ~HoldWorld();

    // A hidden window held in the mailbox; recipients are comma-separated, empty for none.
    HWND Hold(const std::string& subject, const std::string& to, const std::string& cc = "",
              const std::string& bcc = "", int second = 0);
    // The value in Velmora.ini, or "<missing>".
    std::string Setting(const char* section, const char* key) const;
    std::string SettingsFile() const;
    void WriteAccountName(const std::string& name);

    // The mailbox's sender, null until it has held a message.
    SDelaySenderLogic* Sender() const;
    bool Paused() const;

    VelmoraLogic* logic;
    std::map<HWND, std::map<std::string, std::string>> headers;
    SHostApi api;
    std::string folder;
    std::string dataFolder;
    std::string iniPath;
    std::string mailbox;
    std::string currentMailbox;
    std::map<HWND, std::string> status;
    std::vector<HWND> windows;
    // BKA_RegisterCommand's answer, and what was registered.
    UINT nextCommandId;
    int registerCalls;
    std::string registeredCaption;
    int registeredTarget;
    HostCommandProc registeredProc;
    UINT callbackCommand;
    HostCommandStateProc registeredCallback;

    static HoldWorld* current;
};

std::string ReadFile(const std::string& path);
