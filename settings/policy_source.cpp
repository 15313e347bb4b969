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

// A policy file another program holds open is waited for this long before it counts as
// unreadable.
const unsigned long kPolicyFileWaitMs = 2000;

// The strings of a REG_MULTI_SZ value joined with commas; empty strings left out.
std::string JoinedMultiString(const std::vector<char>& data, DWORD size) {
    std::string joined;
    size_t at = 0;
    const size_t end = size < data.size() ? size : data.size();
    while (at < end) {
        const size_t length = strnlen(data.data() + at, end - at);
        if (length > 0)
            joined += (joined.empty() ? "" : ",") + std::string(data.data() + at, length);
        at += length + 1;
    }
    return joined;
}

void ReadRegistryValue(HKEY key, const SSettingKey& setting, EValueSource source,
                       SPolicyValue* value) {
    // One call for the usual value; a longer one is asked for again with its size, for as long
    // as it keeps growing.
    DWORD type = 0;
    std::vector<char> buffer(512, '\0');
    DWORD size = static_cast<DWORD>(buffer.size() - 2);
    LONG result = RegQueryValueExA(key, setting.name, nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer.data()), &size);
    while (result == ERROR_MORE_DATA) {
        // Room for the two closing NULs a value may lack.
        buffer.assign(static_cast<size_t>(size) + 2, '\0');
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
    if (type == REG_MULTI_SZ && IsListKey(setting)) {
        // As Group Policy Preferences writes a list.
        value->text = JoinedMultiString(buffer, size);
        value->readable = true;
        return;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        value->text = "(種類違い)";
        return;
    }
    value->text = std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
    value->readable = true;
}

// The 32-bit plug-in reads the machine's policy where 64-bit Group Policy writes it; the flag
// is ignored on 32-bit Windows.
void ReadRegistry(HKEY root, REGSAM view, size_t rank, SPolicy* policy) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, kPolicyKeyPath, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return;
    for (size_t i = 0; i < kKeyCount; ++i)
        ReadRegistryValue(key, KeyTable()[i], kPolicySources[rank], &policy->layers[rank][i]);
    RegCloseKey(key);
}

void ReadPolicyFile(const char* path, size_t rank, SPolicy* policy) {
    if (path == nullptr || *path == '\0' || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return;
    std::string text;
    std::string why;
    if (!ReadIniFileAsAnsi(path, &text, &why, kPolicyFileWaitMs)) {
        policy->refusedFile = why;
        return;
    }
    const SIniText file(text);
    for (size_t i = 0; i < kKeyCount; ++i) {
        SPolicyValue& value = policy->layers[rank][i];
        if (!file.FindAnySection(KeyTable()[i].name, &value.text))
            continue;
        value.set = true;
        value.readable = true;
        value.source = kPolicySources[rank];
    }
}

} // namespace

SPolicy ReadPolicy(const char* policyFilePath) {
    SPolicy policy;
    policy.filePath = policyFilePath ? policyFilePath : "";
    ReadRegistry(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, 0, &policy);
    ReadRegistry(HKEY_CURRENT_USER, 0, 1, &policy);
    ReadPolicyFile(policyFilePath, 2, &policy);
    return policy;
}

std::string PolicyFilePathBeside(const char* modulePath) {
    if (modulePath == nullptr)
        return std::string();
    const std::string folder = FolderOf(modulePath);
    const std::string path = folder + kPolicyFileName;
    return !folder.empty() && path.size() < MAX_PATH ? path : std::string();
}
