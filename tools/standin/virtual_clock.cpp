// The plug-in reads the time only through kernel32's GetLocalTime. Rather than giving the
// product a test hook, the stand-in client rewrites that one entry of the loaded DLL's import
// address table: the DLL under test stays byte for byte the one that ships, and a scenario can
// move time by hours in an instant.
#include "tools/standin/virtual_clock.h"

#include <cstring>

namespace {

bool g_active = false;
ULONGLONG g_now = 0; // FILETIME units (100 ns)

void WINAPI VirtualGetLocalTime(LPSYSTEMTIME time) {
    if (!time)
        return;
    if (!g_active) {
        GetLocalTime(time);
        return;
    }
    FILETIME file;
    file.dwLowDateTime = static_cast<DWORD>(g_now);
    file.dwHighDateTime = static_cast<DWORD>(g_now >> 32);
    FileTimeToSystemTime(&file, time);
}

template <typename T> T* At(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

bool Replace(FARPROC* slot) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &old))
        return false;
    *slot = reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&VirtualGetLocalTime));
    VirtualProtect(slot, sizeof(*slot), old, &old);
    return true;
}

// One kernel32 import descriptor: find GetLocalTime by name, or by the address it was bound to.
bool PatchDescriptor(HMODULE module, const IMAGE_IMPORT_DESCRIPTOR* import, FARPROC real) {
    FARPROC* slots = At<FARPROC>(module, import->FirstThunk);
    const IMAGE_THUNK_DATA* names = import->OriginalFirstThunk
                                        ? At<IMAGE_THUNK_DATA>(module, import->OriginalFirstThunk)
                                        : nullptr;
    for (int i = 0; slots[i]; ++i) {
        bool byName = false;
        if (names && !IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal)) {
            const IMAGE_IMPORT_BY_NAME* name =
                At<IMAGE_IMPORT_BY_NAME>(module, names[i].u1.AddressOfData);
            byName = strcmp(reinterpret_cast<const char*>(name->Name), "GetLocalTime") == 0;
        }
        if (byName || (real && slots[i] == real))
            return Replace(&slots[i]);
    }
    return false;
}

} // namespace

namespace VirtualClock {

bool PatchModule(HMODULE module) {
    if (!module)
        return false;
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return false;
    const IMAGE_NT_HEADERS* nt = At<IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return false;
    FARPROC real = GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLocalTime");
    bool patched = false;
    for (const IMAGE_IMPORT_DESCRIPTOR* import =
             At<IMAGE_IMPORT_DESCRIPTOR>(module, dir.VirtualAddress);
         import->Name; ++import) {
        const char* dll = At<const char>(module, import->Name);
        if (lstrcmpiA(dll, "KERNEL32.dll") == 0 && PatchDescriptor(module, import, real))
            patched = true;
    }
    return patched;
}

bool IsActive() {
    return g_active;
}

void Set(const SYSTEMTIME& time) {
    FILETIME file;
    if (!SystemTimeToFileTime(&time, &file))
        return;
    g_now = (static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
    g_active = true;
}

void AdvanceMilliseconds(long long milliseconds) {
    g_now += static_cast<ULONGLONG>(milliseconds * 10000);
}

void Now(SYSTEMTIME* time) {
    VirtualGetLocalTime(time);
}

} // namespace VirtualClock
