#include "delay/settings_path.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "support/file_utils.h"
#include "support/path_utils.h"

namespace {

// Joins folder and name with one backslash; false when the result would not fit.
bool JoinPath(char* out, size_t size, const char* folder, const char* name) {
    size_t length = strlen(folder);
    const char* separator = (length > 0 && folder[length - 1] == '\\') ? "" : "\\";
    int written = snprintf(out, size, "%s%s%s", folder, separator, name);
    return written > 0 && static_cast<size_t>(written) < size;
}

bool EnsureFolder(const char* path) {
    return DirectoryExists(path) || CreateDirectoryPath(path);
}

} // namespace

void ModuleSettingsPath(HINSTANCE module, char* path) {
    char modulePath[kSettingsPathSize] = "";
    GetModuleFileNameA(module, modulePath, sizeof(modulePath));
    modulePath[sizeof(modulePath) - 1] = '\0';
    if (ChangeExtension(path, kSettingsPathSize, modulePath, ".ini") != 0)
        path[0] = '\0';
}

bool SettingsPathUnder(const char* base, char* path) {
    char maker[MAX_PATH] = "";
    char product[MAX_PATH] = "";
    if (!JoinPath(maker, sizeof(maker), base, "Tarnwyk") || !EnsureFolder(maker))
        return false;
    if (!JoinPath(product, sizeof(product), maker, "Velmora") || !EnsureFolder(product))
        return false;
    // The settings store keeps 260 bytes of path; a longer one would name another file.
    return JoinPath(path, MAX_PATH, product, "Velmora.ini");
}

void ChooseSettingsPath(HINSTANCE module, char* path) {
    char appData[MAX_PATH] = "";
    if (SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, TRUE)) {
        appData[MAX_PATH - 1] = '\0';
        if (SettingsPathUnder(appData, path))
            return;
    }
    ModuleSettingsPath(module, path);
}
