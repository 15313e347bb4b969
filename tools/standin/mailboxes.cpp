#include "tools/standin/mailboxes.h"

#include <windows.h>

Mailboxes::Mailboxes(const std::string& folder) : dataFolder(folder) {
    if (dataFolder.empty() || dataFolder.back() != '\\')
        dataFolder += '\\';
}

bool Mailboxes::CreateDataFolder() {
    return CreateDirectoryA(dataFolder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string Mailboxes::FolderOf(const std::string& text) const {
    std::string name = text;
    while (!name.empty() && name.back() == '\\')
        name.pop_back();
    return dataFolder + name;
}

bool Mailboxes::Add(const std::string& text, const std::string& account) {
    std::string folder = FolderOf(text);
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    if (account.empty())
        return true;
    std::string ini = folder + "\\Mailbox.ini";
    return WritePrivateProfileStringA("Account", "Name", account.c_str(), ini.c_str()) != FALSE;
}

void Mailboxes::SetCurrent(const std::string& text) {
    current = text;
}
