#include "settings/policy_source.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "settings/ini_file.h"
#include "settings/ini_text.h"
#include "support/path_utils.h"

const char kPolicyKeyPath[] = "Software\\Policies\\Tarnwyk\\Velmora";
const char kPolicyFileName[] = "zVelmora.policy.ini";

namespace {

// A policy text longer than this is no setting anyone deployed on purpose.
const DWORD kMaxPolicyText = 64 * 1024;

void ReadRegistryValue(HKEY key, const SSettingKey& setting, SValueSource source,
                       SPolicyValue* value) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, setting.name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return;
    value->set = true;
    value->source = source;
    value->readable = false;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        if (RegQueryValueExA(key, setting.name, nullptr, &type, reinterpret_cast<BYTE*>(&number),
                             &size) != ERROR_SUCCESS)
            return;
        char text[16];
        // A DWORD above the signed range can be no value of any key.
        std::snprintf(text, sizeof text, "%ld", static_cast<long>(static_cast<int32_t>(number)));
        value->text = text;
        value->readable = number <= 0x7FFFFFFFu;
        return;
    }
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > kMaxPolicyText) {
        value->text = type == REG_DWORD ? "(DWORD)" : "(種類違い)";
        return;
    }
    std::vector<char> buffer(size + 1, '\0');
    if (RegQueryValueExA(key, setting.name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
        return;
    buffer[buffer.size() - 1] = '\0';
    value->text = buffer.data();
    value->readable = true;
}

void ReadRegistry(HKEY root, SValueSource source, SPolicy* policy) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, kPolicyKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (size_t i = 0; i < kKeyCount; ++i) {
        if (!policy->values[i].set)
            ReadRegistryValue(key, KeyTable()[i], source, &policy->values[i]);
    }
    RegCloseKey(key);
}

void ReadPolicyFile(const char* path, SPolicy* policy) {
    if (path == nullptr || *path == '\0' || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return;
    std::string text;
    std::string why;
    if (!ReadIniFileAsAnsi(path, &text, &why)) {
        policy->refusedFile = why;
        return;
    }
    const SIniText file(text);
    for (size_t i = 0; i < kKeyCount; ++i) {
        SPolicyValue& value = policy->values[i];
        if (value.set || !file.FindAnySection(KeyTable()[i].name, &value.text))
            continue;
        value.set = true;
        value.readable = true;
        value.source = SValueSource::PolicyFile;
    }
}

} // namespace

SPolicy ReadPolicy(const char* policyFilePath) {
    SPolicy policy;
    ReadRegistry(HKEY_LOCAL_MACHINE, SValueSource::PolicyMachine, &policy);
    ReadRegistry(HKEY_CURRENT_USER, SValueSource::PolicyUser, &policy);
    ReadPolicyFile(policyFilePath, &policy);
    return policy;
}

std::string PolicyFilePathBeside(const char* modulePath) {
    if (modulePath == nullptr)
        return std::string();
    char drive[MAX_PATH] = "";
    char folder[MAX_PATH] = "";
    SplitPath(modulePath, drive, sizeof drive, folder, sizeof folder, nullptr, 0, nullptr, 0);
    const std::string path = std::string(drive) + folder + kPolicyFileName;
    return folder[0] != '\0' && path.size() < MAX_PATH ? path : std::string();
}
