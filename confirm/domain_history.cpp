#include "confirm/domain_history.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "delay/recipient_class.h"

namespace {

const char kMagic[] = "zVelmora domains 1";
const int kMaxMessages = 1000000000;
// The earliest year a Windows clock can show: a clock set wrong before 1970 still counts days.
const long kFirstYear = 1601;

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long DayNumber(int year, int month, int day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yoe = year - era * 400;
    const long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilDate(long days, int* year, int* month, int* day) {
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long doe = days - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *year = static_cast<int>(yoe + era * 400 + (*month <= 2));
}

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

long DayOf(const SLocalTime& t) {
    if (t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1)
        return 0;
    return DayNumber(t.wYear, t.wMonth, t.wDay);
}

std::string DateText(long days) {
    int year = 0, month = 0, day = 0;
    CivilDate(days, &year, &month, &day);
    char text[16];
    snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

// Digits only, no sign, at most nine of them.
bool ParseCount(const std::string& text, long* value) {
    if (text.empty() || text.size() > 9)
        return false;
    *value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        *value = *value * 10 + (c - '0');
    }
    return true;
}

bool ParseDate(const std::string& text, long* days) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    long year = 0, month = 0, day = 0;
    if (!ParseCount(text.substr(0, 4), &year) || !ParseCount(text.substr(5, 2), &month) ||
        !ParseCount(text.substr(8, 2), &day))
        return false;
    if (year < kFirstYear || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(static_cast<int>(year), static_cast<int>(month)))
        return false;
    *days = DayNumber(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    return true;
}

// What Learn keeps: non-empty, bounded, already lower case, nothing blank or control.
bool IsKeepable(const std::string& domain) {
    if (domain.empty() || domain.size() > SDomainHistory::kMaxDomainBytes)
        return false;
    for (unsigned char c : domain) {
        if (c <= 0x20 || c == 0x7F)
            return false;
    }
    return LowerCaseDomain(domain.c_str()) == domain;
}

// Splits at "\n" (a "\r" before it is dropped); false when the text does not end in one.
bool SplitLines(const std::string& text, std::vector<std::string>* lines) {
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return false;
        size_t cut = end;
        if (cut > start && text[cut - 1] == '\r')
            --cut;
        lines->push_back(text.substr(start, cut - start));
        start = end + 1;
    }
    return true;
}

} // namespace

bool SDomainHistory::Knows(const std::string& domain) const {
    return index.count(domain) != 0;
}

void SDomainHistory::Learn(const std::vector<std::string>& domains, const SLocalTime& day) {
    const long today = DayOf(day);
    bool learned = false;
    for (const std::string& domain : domains) {
        const std::string lower = LowerCaseDomain(domain.c_str());
        if (!IsKeepable(lower))
            continue;
        Touch(lower, today);
        learned = true;
    }
    // A message with no outside domain teaches nothing.
    if (!learned)
        return;
    if (startDay == kNoDay)
        startDay = today;
    if (messages < kMaxMessages)
        ++messages;
}

namespace {

unsigned long NextStamp() {
    static unsigned long last = 0;
    return ++last;
}

} // namespace

void SDomainHistory::Touch(const std::string& domain, long day) {
    stamp = NextStamp();
    auto found = index.find(domain);
    if (found != index.end()) {
        found->second->day = day;
        order.splice(order.end(), order, found->second);
        return;
    }
    order.push_back(SEntry{domain, day});
    index[domain] = std::prev(order.end());
    if (order.size() > kMaxDomains) {
        index.erase(order.front().domain);
        order.pop_front();
    }
}

bool SDomainHistory::IsLearning(const SLocalTime& today) const {
    return startDay == kNoDay || messages < kLearningMessages ||
           DayOf(today) - startDay < kLearningDays;
}

std::string SDomainHistory::Serialize() const {
    std::string text = std::string(kMagic) + "\n";
    text += "start " + (startDay == kNoDay ? std::string("-") : DateText(startDay)) + " " +
            std::to_string(messages) + "\n";
    for (const SEntry& entry : order)
        text += DateText(entry.day) + " " + entry.domain + "\n";
    text += "end " + std::to_string(order.size()) + "\n";
    return text;
}

void SDomainHistory::Clear() {
    stamp = NextStamp();
    order.clear();
    index.clear();
    startDay = kNoDay;
    messages = 0;
}

EHistoryParse SDomainHistory::Parse(const char* text, size_t length) {
    Clear();
    if (!text || length == 0)
        return kHistoryEmpty;
    const std::string whole(text, length);
    std::vector<std::string> lines;
    if (whole.find('\0') != std::string::npos || !SplitLines(whole, &lines) || lines.size() < 3 ||
        lines[0] != kMagic)
        return kHistoryCorrupt;

    long start = kNoDay;
    long count = 0;
    const std::string& head = lines[1];
    const size_t blank = head.find(' ', 6);
    if (head.compare(0, 6, "start ") != 0 || blank == std::string::npos ||
        !ParseCount(head.substr(blank + 1), &count))
        return kHistoryCorrupt;
    const std::string startText = head.substr(6, blank - 6);
    if (startText != "-" && !ParseDate(startText, &start))
        return kHistoryCorrupt;

    const size_t domainLines = lines.size() - 3;
    long ended = 0;
    const std::string& tail = lines.back();
    if (domainLines > kMaxDomains || tail.compare(0, 4, "end ") != 0 ||
        !ParseCount(tail.substr(4), &ended) || static_cast<size_t>(ended) != domainLines)
        return kHistoryCorrupt;

    for (size_t i = 2; i < lines.size() - 1; ++i) {
        long day = 0;
        const std::string& line = lines[i];
        const std::string domain = line.size() > 11 ? line.substr(11) : std::string();
        if (line.size() < 12 || line[10] != ' ' || !ParseDate(line.substr(0, 10), &day) ||
            !IsKeepable(domain) || Knows(domain)) {
            Clear();
            return kHistoryCorrupt;
        }
        Touch(domain, day);
    }
    startDay = start;
    messages = static_cast<int>(count);
    return kHistoryLoaded;
}

std::vector<std::string> SDomainHistory::Domains() const {
    std::vector<std::string> domains;
    domains.reserve(order.size());
    for (const SEntry& entry : order)
        domains.push_back(entry.domain);
    return domains;
}
