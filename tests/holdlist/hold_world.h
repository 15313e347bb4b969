// A plug-in logic with a settings file, a hold queue and one mailbox's held messages, on the
// fake host.
#pragma once
#include <windows.h>

#include <string>

#include "tests/common/fake_host.h"

class VelmoraLogic;
class SDelaySenderLogic;

class HoldWorld {
  public:
    // settingsText is written as Velmora.ini before the record reads it.
    explicit HoldWorld(const std::string& settingsText = "",
                       HINSTANCE instance = GetModuleHandleA(nullptr));
    ~HoldWorld();

    // A fake-host compose window sent, and so held, in the mailbox; recipients are
    // comma-separated, empty for none.
    HWND Hold(const std::string& subject, const std::string& to, const std::string& cc = "",
              const std::string& bcc = "", int second = 0);
    // The window's status header as the host has it.
    std::string Status(HWND window);
    // The value in Velmora.ini, or "<missing>".
    std::string Setting(const char* section, const char* key) const;
    std::string SettingsFile() const;
    void WriteAccountName(const std::string& name);

    // The mailbox's sender, null until it has held a message.
    SDelaySenderLogic* Sender() const;
    bool Paused() const;

    FakeHost host;
    VelmoraLogic* logic;
    std::string folder;
    std::string iniPath;
    std::string mailbox;
};

std::string ReadFile(const std::string& path);
