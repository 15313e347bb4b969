#include "confirm/domain_history_store.h"

#include <windows.h>

#include <cstdio>

#include "confirm/domain_history.h"
#include "settings/settings_path.h"
#include "support/guard.h"
#include "support/log_writer.h"
#include "support/path_utils.h"


namespace {

// Ten thousand domains of at most 255 bytes fit well within this; anything larger is not a
// file this plug-in wrote.
const long kMaxFileBytes = 4 * 1024 * 1024;

// The first line of every history this plug-in writes.
std::string OwnFirstLine() {
    const std::string empty = SDomainHistory().Serialize();
    return empty.substr(0, empty.find('\n') + 1);
}

bool IsOurs(const std::string& text) {
    const std::string first = OwnFirstLine();
    return text.compare(0, first.size(), first) == 0;
}

} // namespace

SDomainHistoryStore::SDomainHistoryStore(const char* settingsFolder)
    : path(JoinPath(settingsFolder ? settingsFolder : "", kDomainHistoryFileName)),
      history(nullptr), state(kNotLoaded), changed(false), writeFailed(false) {}

SDomainHistoryStore::~SDomainHistoryStore() {
    delete history;
}

void SDomainHistoryStore::Log(int level, int line, const char* what) const {
    NTessik::SLogWriter writer(NTessik::GetSink(), "DomainHistory", line, 0, 0, level);
    writer.Write("送信先ドメインの履歴: %s %s", what, path.c_str());
}

bool SDomainHistoryStore::ReadFile(std::string* text, bool* missing) const {
    *missing = false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        *missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[16384];
    size_t n = 0;
    bool ok = true;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (text->size() + n > static_cast<size_t>(kMaxFileBytes)) {
            ok = false;
            break;
        }
        text->append(buffer, n);
    }
    ok = ok && !std::ferror(file);
    std::fclose(file);
    return ok;
}

// A temporary file, then a rename: a reader never sees half a history.
bool SDomainHistoryStore::WriteFile(const std::string& text) const {
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed &&
        MoveFileExA(temporary.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}

void SDomainHistoryStore::Load() {
    if (state != kNotLoaded)
        return;
    // Out of memory here must not decide a send: the history is then simply not used.
    const bool loaded = GuardedCall<bool>(false, [this]() {
        ReadAndParse();
        return true;
    });
    if (!loaded) {
        delete history;
        history = nullptr;
        state = kUnusable;
    }
}

void SDomainHistoryStore::ReadAndParse() {
    std::string text;
    bool missing = false;
    if (!ReadFile(&text, &missing) && !missing) {
        Log(2, __LINE__, "読めないため、初めてのドメインは警告しません");
        state = kUnusable;
        return;
    }
    history = new SDomainHistory;
    state = kReady;
    if (history->Parse(text.data(), text.size()) != kHistoryCorrupt)
        return;
    if (!IsOurs(text)) {
        Log(2, __LINE__, "このプラグインの形式ではないため、使いません");
        delete history;
        history = nullptr;
        state = kUnusable;
        return;
    }
    // Ours and broken: nothing in it can be trusted, and a new history learns quietly again.
    Log(2, __LINE__, "壊れているため、削除して記録し直します");
    DeleteFileA(path.c_str());
}

const SDomainHistory* SDomainHistoryStore::History() const {
    return state == kReady && !writeFailed ? history : nullptr;
}

void SDomainHistoryStore::Learn(const std::vector<std::string>& domains, const SLocalTime& day) {
    if (state != kReady || domains.empty())
        return;
    history->Learn(domains, day);
    changed = true;
    if (!requestFlush) {
        Flush();
        return;
    }
    requestFlush();
}

void SDomainHistoryStore::Flush() {
    if (state != kReady || !changed)
        return;
    const bool written =
        GuardedCall<bool>(false, [this]() { return WriteFile(history->Serialize()); });
    if (!written) {
        // One line, not one per message: the next learning tries again.
        if (!writeFailed)
            Log(2, __LINE__, "書き込めないため、初めてのドメインは警告しません");
        writeFailed = true;
        return;
    }
    if (writeFailed)
        Log(6, __LINE__, "書き込めるようになりました");
    writeFailed = false;
    changed = false;
}
