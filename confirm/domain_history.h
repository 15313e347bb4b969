// The outside domains mail has really left for, with the day each was last used.
//
// Learning: a new history learns silently, so no domain is new to it, until it is at least
// kLearningDays days old (counted from the first message it learned) and has learned at
// least kLearningMessages messages. From then on a domain it does not hold is new.
//
// Text form (the settings folder keeps it; reading and writing the file is the caller's):
//   zVelmora domains 1
//   start YYYY-MM-DD <messages learned>
//   YYYY-MM-DD <domain>        one line per domain, least recently used first
//   end <number of domain lines>
// every line ending in "\n". Anything else is corrupt.
#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "support/local_time.h"

enum EHistoryParse { kHistoryEmpty = 0, kHistoryLoaded = 1, kHistoryCorrupt = 2 };

class SDomainHistory {
  public:
    static const size_t kMaxDomains = 10000;
    static const int kLearningDays = 14;
    static const int kLearningMessages = 20;
    static const size_t kMaxDomainBytes = 255;

    SDomainHistory() = default;
    // The index points into the order list: a copy would point into the original's.
    SDomainHistory(const SDomainHistory&) = delete;
    SDomainHistory& operator=(const SDomainHistory&) = delete;
    SDomainHistory(SDomainHistory&&) = default;
    SDomainHistory& operator=(SDomainHistory&&) = default;

    // Whether mail has left for this lower-case domain.
    bool Knows(const std::string& domain) const;
    // One message has left for these domains on that day: each becomes the most recently
    // used; the least recently used are dropped beyond kMaxDomains. Domains are lower-cased;
    // empty, over-long or blank-holding ones are skipped; a message with none left to keep
    // does not count towards kLearningMessages.
    void Learn(const std::vector<std::string>& domains, const SLocalTime& day);
    // Still in its silent start (see above) on that day.
    bool IsLearning(const SLocalTime& today) const;

    size_t Size() const { return order.size(); }
    // Every domain held, least recently used first.
    std::vector<std::string> Domains() const;
    // Differs whenever the domains held do: no two contents share one in a process.
    unsigned long Stamp() const { return stamp; }
    int MessagesLearned() const { return messages; }

    std::string Serialize() const;
    // Replaces the contents with the text's. Empty text (a missing file) gives an empty,
    // learning history; corrupt text leaves it empty too but says so.
    EHistoryParse Parse(const char* text, size_t length);

  private:
    struct SEntry {
        std::string domain;
        long day; // days since 1970-01-01, negative before
    };
    void Touch(const std::string& domain, long day);
    void Clear();

    std::list<SEntry> order; // least recently used first
    std::unordered_map<std::string, std::list<SEntry>::iterator> index;
    // Days before 1970 are negative: "none yet" is a day no clock shows.
    static const long kNoDay = -2147483647L - 1;
    long startDay = kNoDay; // the day of the first message learned
    int messages = 0;
    unsigned long stamp = 0;
};
