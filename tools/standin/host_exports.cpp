// The host functions a plug-in looks up by name in the executable.
// Build variants leave out names or change the version text to exercise the plug-in's version rule.
#include <windows.h>

#include "tools/standin/host_backend.h"

#ifndef STANDIN_VERSION
#define STANDIN_VERSION "2.81.05"
#endif

#define HOST_EXPORT extern "C" __declspec(dllexport)

IHostBackend* g_backend = nullptr;

LPCSTR StandinVersion() {
    return STANDIN_VERSION;
}

HOST_EXPORT LPCSTR WINAPI BKA_GetVersion() {
    return STANDIN_VERSION;
}

HOST_EXPORT int WINAPI BKA_GetWindowHandles(HWND* mainWindow, HWND* treeView, HWND* listView,
                                            HWND* mailView) {
    if (g_backend)
        return g_backend->GetWindowHandles(mainWindow, treeView, listView, mailView);
    HWND* all[] = {mainWindow, treeView, listView, mailView};
    for (HWND* handle : all)
        if (handle)
            *handle = nullptr;
    return 0;
}

HOST_EXPORT UINT WINAPI BKA_RegisterCommand(LPCSTR caption, int target, HostCommandProc proc) {
    return g_backend ? g_backend->RegisterCommand(caption, target, proc) : 0;
}

HOST_EXPORT int WINAPI BKA_RegisterUICallback(UINT commandId, HostCommandStateProc proc) {
    return g_backend ? g_backend->RegisterUICallback(commandId, proc) : 0;
}

HOST_EXPORT LPCSTR WINAPI BKA_GetDataFolder() {
    return g_backend ? g_backend->GetDataFolder() : "";
}

HOST_EXPORT LPCSTR WINAPI BKA_GetCurrentMailBox() {
    return g_backend ? g_backend->GetCurrentMailBox() : "";
}

HOST_EXPORT int WINAPI BKA_CompGetSpecifiedHeader(HWND compose, LPCSTR name, LPSTR buffer,
                                                  int size) {
    if (g_backend)
        return g_backend->CompGetSpecifiedHeader(compose, name, buffer, size);
    if (buffer && size > 0)
        buffer[0] = '\0';
    return 0;
}

HOST_EXPORT int WINAPI BKA_CompSetSpecifiedHeader(HWND compose, LPCSTR name, LPCSTR value) {
    return g_backend ? g_backend->CompSetSpecifiedHeader(compose, name, value) : 0;
}

// Functions the plug-in never calls: present so that it finds them, inert otherwise.
#define UNUSED_EXPORT(name)                                                                        \
    HOST_EXPORT int WINAPI name() {                                                                \
        return 0;                                                                                  \
    }

UNUSED_EXPORT(BKA_Command)
UNUSED_EXPORT(BKA_GetTempFolder)
UNUSED_EXPORT(BKA_GetTempFileName)
UNUSED_EXPORT(BKA_SetCurrentMailBox)
UNUSED_EXPORT(BKA_GetCurrentFolder)
UNUSED_EXPORT(BKA_SetCurrentFolder)
UNUSED_EXPORT(BKA_GetFolderDisplayName)
UNUSED_EXPORT(BKA_SetMessageText)
UNUSED_EXPORT(BKA_GetCurrentMail)
UNUSED_EXPORT(BKA_SetCurrentMail)
UNUSED_EXPORT(BKA_GetNextMail)
UNUSED_EXPORT(BKA_SetSel)
UNUSED_EXPORT(BKA_AppendMessage)
UNUSED_EXPORT(BKA_MoveSelectedMessages)
UNUSED_EXPORT(BKA_GetStatus)
UNUSED_EXPORT(BKA_ComposeMail)
UNUSED_EXPORT(BKA_GetCharSet)
UNUSED_EXPORT(BKA_GetSource)
UNUSED_EXPORT(BKA_SetSource)
UNUSED_EXPORT(BKA_GetHeader)
UNUSED_EXPORT(BKA_GetText)
UNUSED_EXPORT(BKA_SetText)
UNUSED_EXPORT(BKA_GetSpecifiedHeader)
UNUSED_EXPORT(BKA_SetSpecifiedHeader)
UNUSED_EXPORT(BKA_CompGetCharSet)
UNUSED_EXPORT(BKA_CompGetSource)
UNUSED_EXPORT(BKA_CompSetSource)
UNUSED_EXPORT(BKA_CompGetHeader)
UNUSED_EXPORT(BKA_CompGetText)
UNUSED_EXPORT(BKA_CompSetText)
UNUSED_EXPORT(BKA_CompAttachFile)
UNUSED_EXPORT(BKA_Alloc)
UNUSED_EXPORT(BKA_ReAlloc)
UNUSED_EXPORT(BKA_Free)
UNUSED_EXPORT(BKA_ISO_2022_JP)
UNUSED_EXPORT(BKA_ISO_2022_KR)
UNUSED_EXPORT(BKA_HZ_GB2312)
UNUSED_EXPORT(BKA_ISO_8859_2)
UNUSED_EXPORT(BKA_EUC_JP)
UNUSED_EXPORT(BKA_UTF_7)
UNUSED_EXPORT(BKA_UTF_8)
UNUSED_EXPORT(BKA_B64Convert)
UNUSED_EXPORT(BKA_QPConvert)
UNUSED_EXPORT(BKA_MIMEHeader)
UNUSED_EXPORT(BKA_SerializeRcpts)

#ifndef STANDIN_NO_CONNECT
UNUSED_EXPORT(BKA_Connect)
#endif

#ifndef STANDIN_NO_SETSTATUS
UNUSED_EXPORT(BKA_SetStatus)
#endif

#ifndef STANDIN_NO_OPTIONAL
UNUSED_EXPORT(BKA_NextUnread)
UNUSED_EXPORT(BKA_ProcessMail)
UNUSED_EXPORT(BKA_GetSize)
UNUSED_EXPORT(BKA_MoveMessages)
#endif
