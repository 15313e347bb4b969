#include "tools/standin/compose_window.h"

#include "tools/standin/timeline.h"

namespace {

const char kClassName[] = "ZvHostCompose";

} // namespace

bool ComposeWindow::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &ComposeWindow::Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

ComposeWindow::ComposeWindow(ComposeEvents* composeEvents, const std::string& composeName)
    : lastOutgoing(0), sentCount(0), refuseNextSend(false), cancelClose(false),
      events(composeEvents), name(composeName), window(nullptr) {}

bool ComposeWindow::Create(HINSTANCE instance, int index) {
    std::string title = name + " - メッセージの作成";
    int offset = 40 + (index % 10) * 24;
    window = CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             560 + offset, offset, 480, 300, nullptr, nullptr, instance, this);
    return window != nullptr;
}

HWND ComposeWindow::focusedLast = nullptr;

LRESULT CALLBACK ComposeWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        CREATESTRUCTA* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    ComposeWindow* self =
        reinterpret_cast<ComposeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    if (!self->window)
        self->window = window;
    return self->OnMessage(message, wParam, lParam);
}

LRESULT ComposeWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (wParam == kSendCommand)
            events->OnSendCommand(this);
        else if (wParam == kSaveDraftCommand)
            events->OnSaveDraftCommand(this);
        else if (wParam == kBackToEditingCommand)
            events->OnBackToEditing(this);
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SETFOCUS:
        focusedLast = window;
        break;
    case WM_SHOWWINDOW:
        // Hidden, it lost whatever focus it was given; shown again, it must be given it anew.
        if (!wParam && focusedLast == window)
            focusedLast = nullptr;
        break;
    case WM_CLOSE:
        // The subclass chain has seen the close; the client's own question keeps the window.
        if (cancelClose)
            return 0;
        break;
    case WM_NCDESTROY: {
        HWND gone = window;
        if (focusedLast == gone)
            focusedLast = nullptr;
        window = nullptr;
        SetWindowLongPtrA(gone, GWLP_USERDATA, 0);
        events->OnComposeGone(this);
        return DefWindowProcA(gone, message, wParam, lParam);
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ComposeWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    SetBkMode(dc, TRANSPARENT);
    int y = 8;
    const char* shown[] = {"From", "To", "Cc", "Subject"};
    for (const char* field : shown) {
        std::string line = std::string(field) + ": " + headers.Value(field);
        line = Abbreviate(line, 100);
        TextOutA(dc, 8, y, line.c_str(), static_cast<int>(line.size()));
        y += 20;
    }
    TextOutA(dc, 8, y + 10, body.c_str(), static_cast<int>(body.size() < 200 ? body.size() : 200));
    EndPaint(window, &paint);
}

// Another program's window (a test running alongside) may take the display's focus away after
// the plug-in gave it: what the plug-in did shows in which compose window got it last.
bool ComposeWindow::HasFocus() const {
    if (!window)
        return false;
    HWND focus = GetFocus();
    return focus == window || (focus == nullptr && focusedLast == window);
}
