// The table of functions the host exports for its plug-ins, looked up by name.
#pragma once
#include <windows.h>

#include "host/host_numbers.h"

// Called by the host when the user chooses a command the plug-in registered.
typedef void(WINAPI* HostCommandProc)(HWND window, LPARAM lParam);
// Asked by the host for a command's state: 0 enabled, 1 disabled.
typedef UINT(WINAPI* HostCommandStateProc)(UINT commandId, LPARAM lParam);

typedef LPCSTR(WINAPI* PFN_BKA_GetVersion)();
typedef int(WINAPI* PFN_BKA_GetWindowHandles)(HWND* mainWindow, HWND* treeView, HWND* listView,
                                              HWND* mailView);
typedef UINT(WINAPI* PFN_BKA_RegisterCommand)(LPCSTR caption, int target, HostCommandProc proc);
typedef int(WINAPI* PFN_BKA_RegisterUICallback)(UINT commandId, HostCommandStateProc proc);
typedef LPCSTR(WINAPI* PFN_BKA_GetDataFolder)();
typedef LPCSTR(WINAPI* PFN_BKA_GetCurrentMailBox)();
typedef int(WINAPI* PFN_BKA_CompGetSpecifiedHeader)(HWND compose, LPCSTR name, LPSTR buffer,
                                                    int size);
typedef int(WINAPI* PFN_BKA_CompSetSpecifiedHeader)(HWND compose, LPCSTR name, LPCSTR value);

// Entries the plug-in never calls; only their presence matters.
typedef FARPROC PFN_BKA_Opaque;

struct SHostApi {
    PFN_BKA_GetVersion BKA_GetVersion;
    PFN_BKA_Opaque BKA_Command;
    PFN_BKA_GetWindowHandles BKA_GetWindowHandles;
    PFN_BKA_RegisterCommand BKA_RegisterCommand;
    PFN_BKA_RegisterUICallback BKA_RegisterUICallback;
    PFN_BKA_GetDataFolder BKA_GetDataFolder;
    PFN_BKA_Opaque BKA_GetTempFolder;
    PFN_BKA_Opaque BKA_GetTempFileName;
    PFN_BKA_GetCurrentMailBox BKA_GetCurrentMailBox;
    PFN_BKA_Opaque BKA_SetCurrentMailBox;
    PFN_BKA_Opaque BKA_GetCurrentFolder;
    PFN_BKA_Opaque BKA_SetCurrentFolder;
    PFN_BKA_Opaque BKA_GetFolderDisplayName;
    PFN_BKA_Opaque BKA_SetMessageText;
    PFN_BKA_Opaque BKA_GetCurrentMail;
    PFN_BKA_Opaque BKA_SetCurrentMail;
    PFN_BKA_Opaque BKA_GetNextMail;
    PFN_BKA_Opaque BKA_SetSel;
    PFN_BKA_Opaque BKA_AppendMessage;
    PFN_BKA_Opaque BKA_MoveMessages;
    PFN_BKA_Opaque BKA_MoveSelectedMessages;
    PFN_BKA_Opaque BKA_GetStatus;
    PFN_BKA_Opaque BKA_SetStatus;
    PFN_BKA_Opaque BKA_ComposeMail;
    PFN_BKA_Opaque BKA_GetCharSet;
    PFN_BKA_Opaque BKA_GetSource;
    PFN_BKA_Opaque BKA_SetSource;
    PFN_BKA_Opaque BKA_GetSize;
    PFN_BKA_Opaque BKA_GetHeader;
    PFN_BKA_Opaque BKA_GetText;
    PFN_BKA_Opaque BKA_SetText;
    PFN_BKA_Opaque BKA_GetSpecifiedHeader;
    PFN_BKA_Opaque BKA_SetSpecifiedHeader;
    PFN_BKA_Opaque BKA_CompGetCharSet;
    PFN_BKA_Opaque BKA_CompGetSource;
    PFN_BKA_Opaque BKA_CompSetSource;
    PFN_BKA_Opaque BKA_CompGetHeader;
    PFN_BKA_CompGetSpecifiedHeader BKA_CompGetSpecifiedHeader;
    PFN_BKA_CompSetSpecifiedHeader BKA_CompSetSpecifiedHeader;
    PFN_BKA_Opaque BKA_CompGetText;
    PFN_BKA_Opaque BKA_CompSetText;
    PFN_BKA_Opaque BKA_CompAttachFile;
    PFN_BKA_Opaque BKA_Alloc;
    PFN_BKA_Opaque BKA_ReAlloc;
    PFN_BKA_Opaque BKA_Free;
    PFN_BKA_Opaque BKA_ISO_2022_JP;
    PFN_BKA_Opaque BKA_ISO_2022_KR;
    PFN_BKA_Opaque BKA_HZ_GB2312;
    PFN_BKA_Opaque BKA_ISO_8859_2;
    PFN_BKA_Opaque BKA_EUC_JP;
    PFN_BKA_Opaque BKA_UTF_7;
    PFN_BKA_Opaque BKA_UTF_8;
    PFN_BKA_Opaque BKA_B64Convert;
    PFN_BKA_Opaque BKA_QPConvert;
    PFN_BKA_Opaque BKA_MIMEHeader;
    PFN_BKA_Opaque BKA_SerializeRcpts;
    PFN_BKA_Opaque BKA_Connect;
    PFN_BKA_Opaque BKA_NextUnread;
    PFN_BKA_Opaque BKA_ProcessMail;
    HMODULE hostModule;

    // Fills the table from the process's executable and applies the version rule.
    BOOL Load();
};

// Reads one header of a compose window into buffer (size bytes) and returns the host's answer.
// The host promises a terminated text; a host that breaks the promise must not make us read
// past the buffer.
int ReadComposeHeader(const SHostApi* hostApi, HWND compose, LPCSTR name, char* buffer, int size);

// The one table of the process; zero until Load succeeds.
extern SHostApi g_hostApi;
