// DLL entry point and the callbacks the host calls; each forwards to the logic object.
#include <windows.h>

#include "delay/velmora_logic.h"
#include "host/host_api.h"
#include "host/plugin_entry.h"

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

void Detach() {
    delete g_logic;
    g_logic = nullptr;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        // An allocation failure here must not unwind through the loader.
        try {
            Attach(instance);
        } catch (...) {
            g_logic = nullptr;
        }
    } else if (reason == DLL_PROCESS_DETACH) {
        Detach();
    }
    return TRUE;
}

#define PLUGIN_EXPORT extern "C" __declspec(dllexport) int WINAPI

PLUGIN_EXPORT BKC_OnStart() {
    return g_logic ? g_logic->OnStart() : 0;
}
PLUGIN_EXPORT BKC_OnExit() {
    return g_logic ? g_logic->OnExit() : 0;
}
PLUGIN_EXPORT BKC_OnMenuInit(HWND window, HMENU menu, int type) {
    return g_logic ? g_logic->OnMenuInit(window, menu, type) : 0;
}
PLUGIN_EXPORT BKC_OnOpenFolder(LPCSTR folder) {
    return g_logic ? g_logic->OnOpenFolder(folder) : 0;
}
PLUGIN_EXPORT BKC_OnOpenMail(LPCSTR mail) {
    return g_logic ? g_logic->OnOpenMail(mail) : 0;
}
PLUGIN_EXPORT BKC_OnEveryMinute() {
    return g_logic ? g_logic->OnEveryMinute() : 0;
}
PLUGIN_EXPORT BKC_OnOpenCompose(HWND compose, int mode) {
    return g_logic ? g_logic->OnOpenCompose(compose, mode) : 0;
}
PLUGIN_EXPORT BKC_OnOutgoing(HWND compose, int mode) {
    return g_logic ? g_logic->OnOutgoing(compose, mode) : 0;
}
PLUGIN_EXPORT BKC_OnKeyDispatch(HWND window, int key, int shift) {
    return g_logic ? g_logic->OnKeyDispatch(window, key, shift) : 0;
}
PLUGIN_EXPORT BKC_OnRetrieve(LPCSTR mail, LPCSTR mailId) {
    return g_logic ? g_logic->OnRetrieve(mail, mailId) : 0;
}
PLUGIN_EXPORT BKC_OnSend(LPCSTR mail) {
    return g_logic ? g_logic->OnSend(mail) : 0;
}
PLUGIN_EXPORT BKC_OnFinishRetrieve(int count) {
    return g_logic ? g_logic->OnFinishRetrieve(count) : 0;
}
PLUGIN_EXPORT BKC_OnPlugInSetup(HWND owner) {
    return g_logic ? g_logic->OnPlugInSetup(owner) : 0;
}
PLUGIN_EXPORT BKC_OnPlugInInfo(LPVOID info) {
    return g_logic ? g_logic->OnPlugInInfo(info) : 0;
}
PLUGIN_EXPORT BKC_OnDragDrop(LPCSTR target, LPCSTR source, int count, int effect) {
    return g_logic ? g_logic->OnDragDrop(target, source, count, effect) : 0;
}
PLUGIN_EXPORT BKC_OnBeforeFilter2(LPCSTR message, LPCSTR mailbox, int* action, char** param) {
    return g_logic ? g_logic->OnBeforeFilter2(message, mailbox, action, param) : 0;
}
