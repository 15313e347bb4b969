#include "tools/standin/main_window.h"

namespace {

const char kClassName[] = "ZvHostMain";

} // namespace

bool MainWindow::RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &MainWindow::Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
}

MainWindow::MainWindow(MainWindowEvents* mainEvents) : events(mainEvents), window(nullptr) {}

bool MainWindow::Create(HINSTANCE instance, HMENU menu) {
    window = CreateWindowExA(0, kClassName, "zvhost - 代替メールクライアント",
                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 720, 520, nullptr, menu,
                             instance, this);
    return window != nullptr;
}

void MainWindow::StartTimer(UINT intervalMs) {
    if (window && intervalMs > 0)
        SetTimer(window, kMinuteTimer, intervalMs, nullptr);
}

LRESULT CALLBACK MainWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        CREATESTRUCTA* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    MainWindow* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    if (!self->window)
        self->window = window;
    return self->OnMessage(message, wParam, lParam);
}

// WM_CLOSE and WM_QUERYENDSESSION take the default path on purpose: the plug-in's subclass
// sees them first and may swallow them.
LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == 0 && lParam == 0)
            events->OnMenuCommand(LOWORD(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        events->OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == kMinuteTimer)
            events->OnMinuteTimer(true);
        return 0;
    case kTickRequest:
        events->OnMinuteTimer(false);
        return 0;
    case kQueryEndRequest:
        events->OnQueryEndRequest();
        return 0;
    case WM_CLOSE:
        events->OnMainClosing();
        break;
    case WM_DESTROY:
        KillTimer(window, kMinuteTimer);
        events->OnMainDestroyed();
        break;
    case WM_NCDESTROY: {
        HWND gone = window;
        window = nullptr;
        SetWindowLongPtrA(gone, GWLP_USERDATA, 0);
        return DefWindowProcA(gone, message, wParam, lParam);
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
