// DLL entry point and the callbacks the host calls; each forwards to the logic object.
#include <windows.h>

#include "plugin/velmora_logic.h"
#include "host/host_api.h"
#include "plugin/plugin_entry.h"
#include "support/guard.h"

namespace {

void Attach(HINSTANCE instance) {
    g_logic = nullptr;
    if (!g_hostApi.Load())
        return;
    char path[MAX_PATH] = "";
    GetModuleFileNameA(instance, path, sizeof(path));
    path[sizeof(path) - 1] = '\0';
    g_logic = new VelmoraLogic(instance, &g_hostApi, path);
}

// At process end the windows and the host are going anyway: touch nothing. Unloaded while
// the process goes on, every hook must come off first.
void Detach(bool processEnding) {
    if (!processEnding)
        delete g_logic;
    g_logic = nullptr;
}

// Every callback of the host passes here: without the logic it does nothing, and whatever
// escapes becomes the answer that keeps the host safe.
template <class F> int Forward(int safe, F call) {
    return GuardedCall<int>(safe, [&]() { return g_logic ? call(g_logic) : 0; });
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        // An allocation failure here must not unwind through the loader.
        try {
            Attach(instance);
        } catch (...) {
            g_logic = nullptr;
        }
    } else if (reason == DLL_PROCESS_DETACH) {
        try {
            Detach(reserved != nullptr);
        } catch (...) {
            g_logic = nullptr;
        }
    }
    return TRUE;
}

#define PLUGIN_EXPORT extern "C" __declspec(dllexport) int WINAPI

PLUGIN_EXPORT BKC_OnStart() {
    return Forward(0, [&](VelmoraLogic* logic) { return logic->OnStart(); });
}
PLUGIN_EXPORT BKC_OnExit() {
    return Forward(0, [&](VelmoraLogic* logic) { return logic->OnExit(); });
}
PLUGIN_EXPORT BKC_OnMenuInit(HWND window, HMENU menu, int type) {
    return Forward(0, [&](VelmoraLogic* logic) { return logic->OnMenuInit(window, menu, type); });
}
PLUGIN_EXPORT BKC_OnEveryMinute() {
    return Forward(0, [&](VelmoraLogic* logic) { return logic->OnEveryMinute(); });
}
PLUGIN_EXPORT BKC_OnOpenCompose(HWND compose, int mode) {
    return Forward(0, [&](VelmoraLogic* logic) { return logic->OnOpenCompose(compose, mode); });
}
PLUGIN_EXPORT BKC_OnOutgoing(HWND compose, int mode) {
    return Forward(-1, [&](VelmoraLogic* logic) { return logic->OnOutgoing(compose, mode); });
}
PLUGIN_EXPORT BKC_OnPlugInSetup(HWND owner) {
    return Forward(0, [&](VelmoraLogic* logic) { return logic->OnPlugInSetup(owner); });
}
PLUGIN_EXPORT BKC_OnPlugInInfo(LPVOID info) {
    return Forward(0, [&](VelmoraLogic* logic) { return logic->OnPlugInInfo(info); });
}

// Callbacks the plug-in has no use for: the host only needs each answered with 0.
PLUGIN_EXPORT BKC_OnOpenFolder(LPCSTR) {
    return 0;
}
PLUGIN_EXPORT BKC_OnOpenMail(LPCSTR) {
    return 0;
}
PLUGIN_EXPORT BKC_OnKeyDispatch(HWND, int, int) {
    return 0;
}
PLUGIN_EXPORT BKC_OnRetrieve(LPCSTR, LPCSTR) {
    return 0;
}
PLUGIN_EXPORT BKC_OnSend(LPCSTR) {
    return 0;
}
PLUGIN_EXPORT BKC_OnFinishRetrieve(int) {
    return 0;
}
PLUGIN_EXPORT BKC_OnDragDrop(LPCSTR, LPCSTR, int, int) {
    return 0;
}
PLUGIN_EXPORT BKC_OnBeforeFilter2(LPCSTR, LPCSTR, int*, char**) {
    return 0;
}
