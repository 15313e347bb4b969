#include "host/host_api.h"

#include <cstddef>

SHostApi g_hostApi;

namespace {

struct SEntry {
    const char* name;
    size_t offset;
};

#define HOST_ENTRY(name)                                                                           \
    { #name, offsetof(SHostApi, name) }

// Table order; a missing one of these makes the host unusable.
const SEntry kRequired[] = {
    HOST_ENTRY(BKA_GetVersion),
    HOST_ENTRY(BKA_Command),
    HOST_ENTRY(BKA_GetWindowHandles),
    HOST_ENTRY(BKA_RegisterCommand),
    HOST_ENTRY(BKA_RegisterUICallback),
    HOST_ENTRY(BKA_GetDataFolder),
    HOST_ENTRY(BKA_GetTempFolder),
    HOST_ENTRY(BKA_GetTempFileName),
    HOST_ENTRY(BKA_GetCurrentMailBox),
    HOST_ENTRY(BKA_SetCurrentMailBox),
    HOST_ENTRY(BKA_GetCurrentFolder),
    HOST_ENTRY(BKA_SetCurrentFolder),
    HOST_ENTRY(BKA_GetFolderDisplayName),
    HOST_ENTRY(BKA_SetMessageText),
    HOST_ENTRY(BKA_GetCurrentMail),
    HOST_ENTRY(BKA_SetCurrentMail),
    HOST_ENTRY(BKA_GetNextMail),
    HOST_ENTRY(BKA_SetSel),
    HOST_ENTRY(BKA_AppendMessage),
    HOST_ENTRY(BKA_MoveSelectedMessages),
    HOST_ENTRY(BKA_GetStatus),
    HOST_ENTRY(BKA_ComposeMail),
    HOST_ENTRY(BKA_GetCharSet),
    HOST_ENTRY(BKA_GetSource),
    HOST_ENTRY(BKA_SetSource),
    HOST_ENTRY(BKA_GetHeader),
    HOST_ENTRY(BKA_GetText),
    HOST_ENTRY(BKA_SetText),
    HOST_ENTRY(BKA_GetSpecifiedHeader),
    HOST_ENTRY(BKA_SetSpecifiedHeader),
    HOST_ENTRY(BKA_CompGetCharSet),
    HOST_ENTRY(BKA_CompGetSource),
    HOST_ENTRY(BKA_CompSetSource),
    HOST_ENTRY(BKA_CompGetHeader),
    HOST_ENTRY(BKA_CompGetSpecifiedHeader),
    HOST_ENTRY(BKA_CompSetSpecifiedHeader),
    HOST_ENTRY(BKA_CompGetText),
    HOST_ENTRY(BKA_CompSetText),
    HOST_ENTRY(BKA_CompAttachFile),
    HOST_ENTRY(BKA_Alloc),
    HOST_ENTRY(BKA_ReAlloc),
    HOST_ENTRY(BKA_Free),
    HOST_ENTRY(BKA_ISO_2022_JP),
    HOST_ENTRY(BKA_ISO_2022_KR),
    HOST_ENTRY(BKA_HZ_GB2312),
    HOST_ENTRY(BKA_ISO_8859_2),
    HOST_ENTRY(BKA_EUC_JP),
    HOST_ENTRY(BKA_UTF_7),
    HOST_ENTRY(BKA_UTF_8),
    HOST_ENTRY(BKA_B64Convert),
    HOST_ENTRY(BKA_QPConvert),
    HOST_ENTRY(BKA_MIMEHeader),
    HOST_ENTRY(BKA_SerializeRcpts),
    HOST_ENTRY(BKA_Connect),
};

const SEntry kOptional[] = {
    HOST_ENTRY(BKA_SetStatus), HOST_ENTRY(BKA_NextUnread),   HOST_ENTRY(BKA_ProcessMail),
    HOST_ENTRY(BKA_GetSize),   HOST_ENTRY(BKA_MoveMessages),
};

#undef HOST_ENTRY

FARPROC* Slot(SHostApi* api, const SEntry& entry) {
    return reinterpret_cast<FARPROC*>(reinterpret_cast<char*>(api) + entry.offset);
}

bool VersionAccepted(const SHostApi& api) {
    LPCSTR version = api.BKA_GetVersion();
    if (!version)
        version = "";
    if (lstrlenA(version) <= 7 && lstrcmpA(version, "2.00.06") < 0)
        return true;
    return api.BKA_SetStatus != nullptr;
}

} // namespace

BOOL SHostApi::Load() {
    if (hostModule)
        return TRUE;
    hostModule = GetModuleHandleA(nullptr);
    if (!hostModule)
        return FALSE;
    for (const SEntry& entry : kRequired) {
        FARPROC address = GetProcAddress(hostModule, entry.name);
        *Slot(this, entry) = address;
        if (!address) {
            hostModule = nullptr;
            return FALSE;
        }
    }
    for (const SEntry& entry : kOptional)
        *Slot(this, entry) = GetProcAddress(hostModule, entry.name);
    if (VersionAccepted(*this))
        return TRUE;
    hostModule = nullptr;
    return FALSE;
}

int ReadComposeHeader(const SHostApi* hostApi, HWND compose, LPCSTR name, char* buffer, int size) {
    buffer[0] = '\0';
    int answer = hostApi->BKA_CompGetSpecifiedHeader(compose, name, buffer, size);
    buffer[size - 1] = '\0';
    return answer;
}
