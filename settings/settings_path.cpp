#include "settings/settings_path.h"

#include <shlobj.h>

#include <cstring>
#include <string>

#include "support/file_utils.h"
#include "support/path_utils.h"

const char kDomainHistoryFileName[] = "DomainHistory.txt";

namespace {

// The folder, found or made; false when it can be neither, or its path would not fit.
bool EnsureFolder(const std::string& path) {
    return path.size() < MAX_PATH &&
           (DirectoryExists(path.c_str()) || CreateDirectoryPath(path.c_str()));
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
    std::string maker = JoinPath(base, "Tarnwyk");
    if (!EnsureFolder(maker))
        return false;
    std::string product = JoinPath(maker.c_str(), "Velmora");
    if (!EnsureFolder(product))
        return false;
    // The settings store keeps 260 bytes of path; a longer one would name another file.
    std::string file = JoinPath(product.c_str(), "Velmora.ini");
    if (file.size() >= MAX_PATH)
        return false;
    memcpy(path, file.c_str(), file.size() + 1);
    return true;
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
