// Records of held mail in <settings folder>\Journal, so that mail lost with its process is
// named at the next start. Never throws and never shows anything: failures go to the log.
#pragma once

#include <string>
#include <vector>

#include "support/local_time.h"
#include "journal/journal_record.h"

extern const char kJournalFolderName[];  // "Journal"
extern const char kJournalHistoryName[]; // "history.txt"

class SHeldJournal {
  public:
    explicit SHeldJournal(const char* settingsFolder);
    // Closes the lock; records stay (they are lost mail unless removed first).
    ~SHeldJournal();
    SHeldJournal(const SHeldJournal&) = delete;
    SHeldJournal& operator=(const SHeldJournal&) = delete;

    // Makes the folder when missing and takes this instance's lock file. Until it
    // succeeds, Add writes nothing.
    bool Open();

    // Writes or replaces the record of id whole (a temporary file flushed, then a rename).
    bool Add(unsigned long long id, const SLocalTime& heldAt, const SLocalTime& dueAt,
             const char* mailbox, const char* subject, const char* from, const char* to,
             const char* cc, const char* bcc);
    bool Remove(unsigned long long id);
    // Removes every record of this instance.
    void RemoveAll();

    // Appends to *lost the records of owners no longer running, moves them to the history
    // file and returns how many there were. A record that stays (it cannot be deleted) is
    // named once only. Only files named as records are taken, and only when they hold one, or
    // what a crash leaves of one (empty, all NUL, cut short: named with what is known, one log
    // line each); any other file is left alone.
    int CollectLost(std::vector<SLostMail>* lost);

    const std::string& Folder() const { return folder_; }

  private:
    std::string RecordPath(const std::string& owner, unsigned long long id) const;
    bool OwnerIsLive(const std::string& owner) const;
    bool TakeLostRecord(const std::string& name, std::vector<SLostMail>* lost);
    // True when the history already holds this noticed line (read once per collection).
    bool WasNoticed(const std::string& line);

    std::string folder_;
    std::string owner_;
    void* lock_; // HANDLE, null while closed
    bool historyRead_;
    std::string history_;
};
