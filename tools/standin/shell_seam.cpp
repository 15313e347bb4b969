#include "tools/standin/shell_seam.h"

#include <cstring>

#include "tools/standin/timeline.h"

namespace {

std::vector<std::string> g_requests;
int g_result = 42;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
    g_requests.push_back(file ? file : "");
    Log("shell: ShellExecuteA(%s, %s) -> %d", verb ? verb : "(null)", file ? file : "(null)",
        g_result);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(g_result));
}

bool Patch(BYTE* base, const IMAGE_IMPORT_DESCRIPTOR* import) {
    const DWORD namesAt =
        import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
            continue;
        auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (strcmp(reinterpret_cast<const char*>(byName->Name), "ShellExecuteA") != 0)
            continue;
        DWORD protection = 0;
        if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                            &protection))
            return false;
        slots->u1.Function = reinterpret_cast<DWORD_PTR>(&RecordShellExecute);
        VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
        return true;
    }
    return false;
}

} // namespace

namespace ShellSeam {

bool Install(HMODULE module) {
    if (!module)
        return false;
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress)
        return false;
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; import->Name; ++import) {
        if (_stricmp(reinterpret_cast<const char*>(base + import->Name), "shell32.dll") == 0 &&
            Patch(base, import))
            return true;
    }
    return false;
}

void SetResult(int result) {
    g_result = result;
}

const std::vector<std::string>& Requests() {
    return g_requests;
}

} // namespace ShellSeam
