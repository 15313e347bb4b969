// The history of domains mail has left for, kept in a file of the settings folder. Learning
// changes it in memory; the file is written later, whole and atomically, off the send path.
// Never throws and never shows anything: failures go to the log, one line each.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "confirm/confirm_text.h"
#include "support/local_time.h"

class SDomainHistory;

class SDomainHistoryStore {
  public:
    explicit SDomainHistoryStore(const char* settingsFolder);
    ~SDomainHistoryStore();
    SDomainHistoryStore(const SDomainHistoryStore&) = delete;
    SDomainHistoryStore& operator=(const SDomainHistoryStore&) = delete;

    // Reads the file the first time it is called. A missing file starts a new history. A file
    // that is ours but corrupt, empty, all NUL or cut short is deleted and a new history
    // started. One that is not ours (or too large to be) is renamed "DomainHistory.txt.bad",
    // replacing an older one, and a new history started; left alone, and nothing kept, when it
    // cannot be renamed, cannot be read, or keeps changing while it is read.
    void Load();
    // Null when not loaded, not readable, not ours, or when the last write failed: then no
    // domain can be called new.
    const SDomainHistory* History() const;

    // Mail has left for these domains on that day.
    void Learn(const std::vector<std::string>& domains, const SLocalTime& day);

    // Asked at each learning to call Flush soon (the asker posts one flush for many); without it
    // every change is written at once.
    void SetFlushRequest(std::function<void()> request) { requestFlush = std::move(request); }
    // Writes the history when it changed since the last write.
    void Flush();

  private:
    enum EState { kNotLoaded, kReady, kUnusable };
    void Log(int level, int line, EHistoryEvent event) const;
    void ReadAndParse();
    void SetAside();
    bool WriteFile(const std::string& text) const;

    std::string path;
    SDomainHistory* history; // owned
    EState state;
    bool changed;
    bool writeFailed;
    std::function<void()> requestFlush;
};
