#include "journal/held_journal.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "journal/hold_log_text.h"
#include "support/file_utils.h"
#include "support/line_text.h"
#include "support/log_writer.h"
#include "support/path_utils.h"

const char kJournalFolderName[] = "Journal";
const char kJournalHistoryName[] = "history.txt";

namespace {

const char kRecordExtension[] = ".rec";
const char kTemporaryExtension[] = ".tmp";
const LONGLONG kHistoryLimit = 1024 * 1024;
// The history is rotated before it passes the limit; past twice that it is not ours to read.
const size_t kHistoryReadLimit = 2 * kHistoryLimit;

void LogTrouble(int line, EJournalTrouble trouble, const std::string& path) {
    const DWORD error = GetLastError();
    NTessik::SLogWriter writer(NTessik::GetSink(), "HeldJournal", line, 0, 0, NTessik::kLevelError);
    writer.Write("%s", JournalLogText(trouble, error, path.c_str()).c_str());
}

// What is known of a held message whose record a crash left empty, all NUL or cut short: its
// owner and id from the name, and about when it was written.
SLostMail DamagedRecordMail(const std::string& owner, const std::string& name,
                            const std::string& path) {
    SLostMail mail;
    mail.owner = owner;
    mail.id = std::strtoull(name.c_str() + owner.size() + 1, nullptr, 10);
    mail.subject = "（保留記録が壊れているため、件名と宛先は分かりません）";
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME written;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) &&
        FileTimeToSystemTime(&local, &written)) {
        static_assert(sizeof(SLocalTime) == sizeof(SYSTEMTIME), "same layout");
        std::memcpy(&mail.heldAt, &written, sizeof written);
        mail.dueAt = mail.heldAt;
    }
    return mail;
}

// Process id, process start time and a per-instance count: a reused process id never
// makes the same name.
std::string NewOwnerName() {
    static unsigned long instances = 0;
    FILETIME created = {}, unused1, unused2, unused3;
    GetProcessTimes(GetCurrentProcess(), &created, &unused1, &unused2, &unused3);
    char name[64];
    std::snprintf(name, sizeof name, "%lu-%08lX%08lX-%lu", GetCurrentProcessId(),
                  created.dwHighDateTime, created.dwLowDateTime, ++instances);
    return name;
}

// data appended whole.
bool AppendToFile(const std::string& path, const std::string& data) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == data.size();
}

// Names of the plain files in folder matching pattern.
std::vector<std::string> FileNames(const std::string& folder, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinPath(folder.c_str(), pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// One older generation is kept, as with the log.
void KeepHistoryBounded(const std::string& history) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(history.c_str(), GetFileExInfoStandard, &data))
        return;
    const LONGLONG size = (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (size >= kHistoryLimit)
        MoveFileExA(history.c_str(), (history + ".1").c_str(), MOVEFILE_REPLACE_EXISTING);
}

// The history line that says a record was shown: its name and a hash of its content, so a
// record that cannot be deleted is not shown again at every start.
std::string NoticedLine(const std::string& name, const std::string& data) {
    unsigned long long hash = 14695981039346656037ull;
    for (unsigned char c : data)
        hash = (hash ^ c) * 1099511628211ull;
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", hash);
    return "noticed " + name + " " + text + "\r\n";
}

// The owner named by "<owner>_<id><tail>", empty for any other name. Records are written
// under no other name, and nothing else in the folder is taken for one.
std::string NamedOwner(const std::string& name, const std::string& tail) {
    const size_t underscore = name.find('_');
    if (underscore == std::string::npos || name.size() <= underscore + 1 + tail.size() ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return std::string();
    const std::string owner = name.substr(0, underscore);
    const std::string id = name.substr(underscore + 1, name.size() - tail.size() - underscore - 1);
    if (id.find_first_not_of("0123456789") != std::string::npos || !IsJournalOwnerName(owner))
        return std::string();
    return owner;
}

} // namespace

SHeldJournal::SHeldJournal(const char* settingsFolder)
    : folder_(JoinPath(settingsFolder != nullptr ? settingsFolder : "", kJournalFolderName)),
      owner_(NewOwnerName()), lock_(nullptr), historyRead_(false) {}

SHeldJournal::~SHeldJournal() {
    if (lock_ != nullptr)
        CloseHandle(lock_);
}

bool SHeldJournal::Open() {
    if (lock_ != nullptr)
        return true;
    if (!DirectoryExists(folder_.c_str()) && !CreateDirectoryPath(folder_.c_str())) {
        LogTrouble(__LINE__, EJournalTrouble::NoFolder, folder_);
        return false;
    }
    // Held without sharing for the life of the process: while it exists and cannot be
    // deleted, this owner's records are not lost.
    const std::string path = JoinPath(folder_.c_str(), (owner_ + ".lock").c_str());
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (lock == INVALID_HANDLE_VALUE) {
        LogTrouble(__LINE__, EJournalTrouble::NoLockFile, path);
        return false;
    }
    lock_ = lock;
    return true;
}

std::string SHeldJournal::RecordPath(const std::string& owner, unsigned long long id) const {
    const std::string name = owner + "_" + std::to_string(id) + kRecordExtension;
    return JoinPath(folder_.c_str(), name.c_str());
}

bool SHeldJournal::Add(unsigned long long id, const SLocalTime& heldAt, const SLocalTime& dueAt,
                       const char* mailbox, const char* subject, const char* from, const char* to,
                       const char* cc, const char* bcc) {
    if (lock_ == nullptr)
        return false;
    SLostMail mail;
    mail.owner = owner_;
    mail.id = id;
    mail.heldAt = heldAt;
    mail.dueAt = dueAt;
    // Cut before copying: a 64 KB header need not be copied whole.
    const auto field = [](const char* text) {
        return text != nullptr ? std::string(text, strnlen(text, kJournalFieldLimit + 1)) : "";
    };
    mail.mailbox = field(mailbox);
    mail.subject = field(subject);
    mail.from = field(from);
    mail.to = field(to);
    mail.cc = field(cc);
    mail.bcc = field(bcc);
    const std::string path = RecordPath(owner_, id);
    // The owner in the temporary's name keeps two processes from sharing one.
    const std::string temporary = path + kTemporaryExtension;
    if (!ReplaceFileWhole(path.c_str(), temporary.c_str(), FormatJournalRecord(mail))) {
        LogTrouble(__LINE__, EJournalTrouble::NotWritten, path);
        return false;
    }
    return true;
}

bool SHeldJournal::Remove(unsigned long long id) {
    if (lock_ == nullptr)
        return false;
    const std::string path = RecordPath(owner_, id);
    if (DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
        return true;
    LogTrouble(__LINE__, EJournalTrouble::NotRemoved, path);
    return false;
}

void SHeldJournal::RemoveAll() {
    const std::string pattern = owner_ + "_*" + kRecordExtension;
    for (const std::string& name : FileNames(folder_, pattern.c_str())) {
        const std::string path = JoinPath(folder_.c_str(), name.c_str());
        if (!DeleteFileA(path.c_str()))
            LogTrouble(__LINE__, EJournalTrouble::NotRemoved, path);
    }
}

bool SHeldJournal::OwnerIsLive(const std::string& owner) const {
    if (owner == owner_)
        return true;
    // A lock that can be deleted, or none, has no process behind it any more.
    const std::string lock = JoinPath(folder_.c_str(), (owner + ".lock").c_str());
    if (DeleteFileA(lock.c_str()))
        return false;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

bool SHeldJournal::TakeLostRecord(const std::string& name, std::vector<SLostMail>* lost) {
    const std::string owner = NamedOwner(name, kRecordExtension);
    if (owner.empty())
        return false;
    const std::string path = JoinPath(folder_.c_str(), name.c_str());
    std::string data;
    const EFileRead read = ReadFileWhole(path.c_str(), kJournalRecordLimit, &data);
    if (read == kFileChanged)
        LogTrouble(__LINE__, EJournalTrouble::ChangedWhileRead, path);
    if (read != kFileRead)
        return false;
    SLostMail mail;
    // The content must be the record its name promises, or what a crash leaves of one;
    // anything else is not ours to take.
    const bool whole = ParseJournalRecord(data.data(), data.size(), &mail);
    if ((whole && mail.owner != owner) ||
        (!whole && !IsTornText(data, std::string(kJournalMagic) + "\r\n")) || OwnerIsLive(owner))
        return false;
    const std::string noticed = NoticedLine(name, data);
    if (WasNoticed(noticed)) {
        DeleteFileA(path.c_str());
        return false;
    }
    if (!whole) {
        // Mail may have been held under it: told about, rather than missed.
        LogTrouble(__LINE__, EJournalTrouble::Damaged, path);
        mail = DamagedRecordMail(owner, name, path);
    }
    // Only a record kept in the history is deleted, so the notice is never lost instead.
    // Without a history nothing remembers it: it is named again at the next start rather than
    // never.
    const std::string history = JoinPath(folder_.c_str(), kJournalHistoryName);
    KeepHistoryBounded(history);
    if (!AppendToFile(history, noticed + (whole ? data : FormatJournalRecord(mail))))
        LogTrouble(__LINE__, EJournalTrouble::NoHistory, history);
    else if (!DeleteFileA(path.c_str()))
        LogTrouble(__LINE__, EJournalTrouble::NotRemoved, path);
    lost->push_back(mail);
    return true;
}

bool SHeldJournal::WasNoticed(const std::string& line) {
    if (!historyRead_) {
        historyRead_ = true;
        const std::string history = JoinPath(folder_.c_str(), kJournalHistoryName);
        std::string older;
        ReadFileWhole((history + ".1").c_str(), kHistoryReadLimit, &older);
        ReadFileWhole(history.c_str(), kHistoryReadLimit, &history_);
        history_.insert(0, older);
    }
    // Whole lines only: a record's own text can never pass for one.
    for (size_t at = history_.find(line); at != std::string::npos; at = history_.find(line, at + 1))
        if (at == 0 || history_[at - 1] == '\n')
            return true;
    return false;
}

int SHeldJournal::CollectLost(std::vector<SLostMail>* lost) {
    // Half-written records of ended owners are never read: their rename never happened.
    const std::string temporaries = std::string("*") + kTemporaryExtension;
    for (const std::string& name : FileNames(folder_, temporaries.c_str())) {
        const std::string owner =
            NamedOwner(name, std::string(kRecordExtension) + kTemporaryExtension);
        if (!owner.empty() && !OwnerIsLive(owner))
            DeleteFileA(JoinPath(folder_.c_str(), name.c_str()).c_str());
    }
    int count = 0;
    const std::string pattern = std::string("*") + kRecordExtension;
    for (const std::string& name : FileNames(folder_, pattern.c_str())) {
        if (TakeLostRecord(name, lost))
            ++count;
    }
    historyRead_ = false;
    history_.clear();
    return count;
}
