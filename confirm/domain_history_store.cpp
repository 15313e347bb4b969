#include "confirm/domain_history_store.h"

#include <windows.h>

#include "confirm/domain_history.h"
#include "settings/settings_path.h"
#include "support/file_utils.h"
#include "support/guard.h"
#include "support/line_text.h"
#include "support/log_writer.h"
#include "support/path_utils.h"

namespace {

// Ten thousand domains of at most 255 bytes fit well within this; anything larger is not a
// file this plug-in wrote.
const size_t kMaxFileBytes = 4 * 1024 * 1024;

// Where a history that is not ours is kept: the newest only.
const char kSetAsideSuffix[] = ".bad";

// Larger than any history this plug-in writes: no reason to read it.
bool IsOversizedFile(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path, GetFileExInfoStandard, &data) &&
           (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (data.nFileSizeHigh != 0 || data.nFileSizeLow > kMaxFileBytes);
}

// The first line of every history this plug-in writes.
std::string OwnFirstLine() {
    const std::string empty = SDomainHistory().Serialize();
    return empty.substr(0, empty.find('\n') + 1);
}

} // namespace

SDomainHistoryStore::SDomainHistoryStore(const char* settingsFolder)
    : path(JoinPath(settingsFolder ? settingsFolder : "", kDomainHistoryFileName)),
      history(nullptr), state(kNotLoaded), changed(false), writeFailed(false) {}

SDomainHistoryStore::~SDomainHistoryStore() {
    delete history;
}

void SDomainHistoryStore::Log(int level, int line, EHistoryEvent event) const {
    NTessik::SLogWriter writer(NTessik::GetSink(), "DomainHistory", line, 0, 0, level);
    writer.Write("%s", DomainHistoryLogText(event, path).c_str());
}

// Flushed and renamed: a reader never sees half a history, nor a power loss an empty one.
bool SDomainHistoryStore::WriteFile(const std::string& text) const {
    return ReplaceFileWhole(path.c_str(), ProcessTemporaryName(path.c_str()).c_str(), text);
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
    RemoveStaleTemporaries(path.c_str());
    std::string text;
    EFileRead read = kFileChanged;
    // Another client renaming its copy over ours is over in a moment; one writing in place is
    // not ours to wait for.
    for (int attempt = 0; attempt < 3 && read == kFileChanged; ++attempt)
        read = ReadFileWhole(path.c_str(), kMaxFileBytes, &text);
    if (read == kFileUnreadable && IsOversizedFile(path.c_str())) {
        SetAside();
        return;
    }
    if (read == kFileChanged || read == kFileUnreadable) {
        Log(NTessik::kLevelError, __LINE__,
            read == kFileChanged ? EHistoryEvent::KeptChanging : EHistoryEvent::Unreadable);
        state = kUnusable;
        return;
    }
    history = new SDomainHistory;
    state = kReady;
    if (read == kFileMissing)
        return;
    const EHistoryParse parsed = history->Parse(text.data(), text.size());
    if (parsed == kHistoryLoaded)
        return;
    // Empty, all NUL or cut short is how a power loss during a write leaves ours.
    if (parsed != kHistoryEmpty && !IsTornText(text, OwnFirstLine())) {
        SetAside();
        return;
    }
    // Ours and broken: nothing in it can be trusted, and a new history learns quietly again.
    Log(NTessik::kLevelError, __LINE__,
        text.empty() ? EHistoryEvent::EmptyRemoved : EHistoryEvent::BrokenRemoved);
    DeleteFileA(path.c_str());
}

// Someone else's file, or one replaced by mistake: moved aside for whoever wants it back, so that
// the history starts again instead of staying off for good.
void SDomainHistoryStore::SetAside() {
    delete history;
    history = nullptr;
    const std::string aside = path + kSetAsideSuffix;
    if (!MoveFileExA(path.c_str(), aside.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Log(NTessik::kLevelError, __LINE__, EHistoryEvent::NotOurs);
        state = kUnusable;
        return;
    }
    Log(NTessik::kLevelError, __LINE__, EHistoryEvent::SetAside);
    history = new SDomainHistory;
    state = kReady;
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
            Log(NTessik::kLevelError, __LINE__, EHistoryEvent::NotWritten);
        writeFailed = true;
        return;
    }
    if (writeFailed)
        Log(NTessik::kLevelInfo, __LINE__, EHistoryEvent::WrittenAgain);
    writeFailed = false;
    changed = false;
}
