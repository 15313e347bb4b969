// One compose window of the stand-in client, with the message it holds.
#pragma once
#include <windows.h>

#include <string>

#include "tools/standin/header_store.h"

const WPARAM kSendCommand = 10519;
const WPARAM kBackToEditingCommand = 10520;
const WPARAM kSaveDraftCommand = 10530;

class ComposeWindow;

// What the client does when a compose window is asked to send, save or is gone.
class ComposeEvents {
  public:
    virtual ~ComposeEvents() {}
    virtual void OnSendCommand(ComposeWindow* compose) = 0;
    virtual void OnSaveDraftCommand(ComposeWindow* compose) = 0;
    virtual void OnBackToEditing(ComposeWindow* compose) = 0;
    virtual void OnComposeGone(ComposeWindow* compose) = 0;
};

class ComposeWindow {
  public:
    static bool RegisterWindowClass(HINSTANCE instance);

    ComposeWindow(ComposeEvents* events, const std::string& name);
    bool Create(HINSTANCE instance, int index);

    const std::string& Name() const { return name; }
    HWND Handle() const { return window; }
    bool IsAlive() const { return window != nullptr; }
    // It has the keyboard focus, or had it last when another program took it.
    bool HasFocus() const;
    HeaderStore& Headers() { return headers; }
    const HeaderStore& Headers() const { return headers; }

    std::string body;
    int lastOutgoing;
    int sentCount;
    bool refuseNextSend; // the client fails the next send and keeps the window open
    bool cancelClose;    // the user cancels the client's "save changes?" question on close

  private:
    ComposeWindow(const ComposeWindow&) = delete;
    ComposeWindow& operator=(const ComposeWindow&) = delete;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    ComposeEvents* events;
    std::string name;
    HWND window;
    HeaderStore headers;
    static HWND focusedLast; // the compose window that last got the focus, while shown
};
