// DLL entry point and the callbacks the host calls; each forwards to the logic object.
#include <windows.h>

#include <string>

#include "host/host_api.h"
#include "plugin/plugin_entry.h"
#include "plugin/velmora_logic.h"
#include "settings/local_setting.h"
#include "settings/policy_source.h"
#include "settings/settings_path.h"
#include "setup/settings_report_form.h"
#include "support/guard.h"

namespace {

HINSTANCE g_module = nullptr;

void Attach(HINSTANCE instance) {
    g_module = instance;
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

// rundll32 zVelmora.dll,ShowSettings [file]: the settings this user's client would start with,
// without the client. With a file, the report is written there instead of shown.
extern "C" __declspec(dllexport) void CALLBACK
    ShowSettings(HWND owner, HINSTANCE, LPSTR command, int) {
    GuardedCall<int>(0, [&]() {
        char path[kSettingsPathSize] = "";
        ChooseSettingsPath(g_module, path);
        char modulePath[MAX_PATH] = "";
        GetModuleFileNameA(g_module, modulePath, sizeof(modulePath));
        modulePath[sizeof(modulePath) - 1] = '\0';
        LocalSetting settings(path);
        settings.ReadAll(ReadPolicy(PolicyFilePathBeside(modulePath).c_str()));
        std::string file = command ? command : "";
        while (!file.empty() && (file.back() == ' ' || file.back() == '"'))
            file.pop_back();
        while (!file.empty() && (file.front() == ' ' || file.front() == '"'))
            file.erase(0, 1);
        if (file.empty()) {
            ShowSettingsReport(g_module, owner, settings);
            return 0;
        }
        const std::string text = SettingsReportOf(g_module, settings);
        HANDLE out = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE)
            return 0;
        DWORD written = 0;
        WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(out);
        return 0;
    });
}
