#include "settings/policy_source.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "settings/ini_file.h"
#include "settings/ini_text.h"
#include "support/path_utils.h"

const char kPolicyKeyPath[] = "Software\\Policies\\Tarnwyk\\Velmora";
const char kPolicyFileName[] = "zVelmora.policy.ini";

namespace {

// A policy text longer than this is no setting anyone deployed on purpose.
const DWORD kMaxPolicyText = 64 * 1024;

void ReadRegistryValue(HKEY key, const SSettingKey& setting, EValueSource source,
                       SPolicyValue* value) {
    // One call for the usual value; a longer text is asked for again with its size.
    DWORD type = 0;
    std::vector<char> buffer(512, '\0');
    DWORD size = static_cast<DWORD>(buffer.size() - 1);
    LONG result = RegQueryValueExA(key, setting.name, nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result == ERROR_MORE_DATA && size <= kMaxPolicyText) {
        buffer.assign(size + 1, '\0');
        result = RegQueryValueExA(key, setting.name, nullptr, &type,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size);
    }
    if (result == ERROR_FILE_NOT_FOUND)
        return;
    value->set = true;
    value->source = source;
    value->readable = false;
    if (result != ERROR_SUCCESS) {
        value->text = "(読めない値)";
        return;
    }
    const bool number = setting.type == EKeyType::Int;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD dword = 0;
        std::memcpy(&dword, buffer.data(), sizeof dword);
        char text[16];
        std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(dword));
        value->text = text;
        // A DWORD above the signed range can be no value of any key.
        value->readable = number && dword <= 0x7FFFFFFFu;
        return;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        value->text = "(種類違い)";
        return;
    }
    buffer[buffer.size() - 1] = '\0';
    value->text = buffer.data();
    value->readable = true;
}

void ReadRegistry(HKEY root, EValueSource source, SPolicy* policy) {
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
        value.source = EValueSource::PolicyFile;
    }
}

} // namespace

SPolicy ReadPolicy(const char* policyFilePath) {
    SPolicy policy;
    ReadRegistry(HKEY_LOCAL_MACHINE, EValueSource::PolicyMachine, &policy);
    ReadRegistry(HKEY_CURRENT_USER, EValueSource::PolicyUser, &policy);
    ReadPolicyFile(policyFilePath, &policy);
    return policy;
}

std::string PolicyFilePathBeside(const char* modulePath) {
    if (modulePath == nullptr)
        return std::string();
    const std::string folder = FolderOf(modulePath);
    const std::string path = folder + kPolicyFileName;
    return !folder.empty() && path.size() < MAX_PATH ? path : std::string();
}
