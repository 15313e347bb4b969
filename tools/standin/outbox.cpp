#include "tools/standin/outbox.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

Outbox::Outbox(const std::string& folderPath) : folder(folderPath), next(1) {
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
}

bool Outbox::Create() {
    return CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string Outbox::Write(const HeaderStore& headers, const std::string& body) {
    std::string text;
    for (const HeaderStore::Field& field : headers.Fields())
        text += field.first + ": " + field.second + "\r\n";
    text += "\r\n" + body + "\r\n";
    // CREATE_NEW skips names already taken, so no earlier message is ever overwritten.
    for (int tries = 0; tries < 100000; ++tries, ++next) {
        char name[32];
        snprintf(name, sizeof(name), "%04d.eml", next);
        HANDLE file = CreateFileA((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS)
                continue;
            return std::string();
        }
        DWORD written = 0;
        BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        ++next;
        return ok && written == text.size() ? std::string(name) : std::string();
    }
    return std::string();
}

std::vector<std::string> Outbox::FileNames() const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.eml").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

HeaderStore Outbox::ReadHeaders(const std::string& fileName) const {
    HeaderStore headers;
    std::ifstream file((folder + fileName).c_str(), std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            break;
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        size_t value = colon + 1;
        if (value < line.size() && line[value] == ' ')
            ++value;
        headers.Set(line.substr(0, colon).c_str(), line.substr(value).c_str());
    }
    return headers;
}
