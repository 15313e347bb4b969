// The main window's menu bar and the plug-in commands registered into it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "host/host_api.h"

const UINT kExitCommand = 10009;
const UINT kSetupCommand = 30001;
const UINT kFirstPluginCommand = 40000;
const int kToolsMenuPosition = 3;

struct PluginCommand {
    UINT id;
    std::string caption;
    int target;
    HostCommandProc handler;
    HostCommandStateProc stateCallback;
};

class ClientMenu {
  public:
    ClientMenu();
    ~ClientMenu();

    // The menu bar with five popups; the window that gets it owns and destroys it.
    HMENU BuildBar();
    HMENU Bar() const { return bar; }
    HMENU Tools() const { return bar ? GetSubMenu(bar, kToolsMenuPosition) : nullptr; }
    // A message-list context menu, offered to the plug-in with type 1.
    HMENU Context() const { return context; }

    // Returns the new command's id, 0 for a missing caption or handler.
    UINT Register(LPCSTR caption, int target, HostCommandProc handler);
    bool SetStateCallback(UINT id, HostCommandStateProc callback);
    const PluginCommand* Find(UINT id) const;
    const PluginCommand* Last() const;
    // Asks the state callback of every plug-in command in the popup, grays or enables it.
    void RefreshStates(HMENU popup) const;
    // The state shown for a command: true when its item is grayed.
    bool IsGrayed(UINT id) const;

  private:
    ClientMenu(const ClientMenu&) = delete;
    ClientMenu& operator=(const ClientMenu&) = delete;

    std::vector<PluginCommand> commands;
    HMENU bar;
    HMENU context;
    UINT nextId;
};
