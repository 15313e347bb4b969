#include "journal/journal_record.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/line_text.h"

const char kJournalMagic[] = "zVelmora-journal 1";

namespace {

const char kCutMark[] = "...";

struct SFieldSlot {
    const char* key;
    std::string SLostMail::*text;
};

const SFieldSlot kTextFields[] = {
    {"mailbox", &SLostMail::mailbox}, {"subject", &SLostMail::subject}, {"from", &SLostMail::from},
    {"to", &SLostMail::to},           {"cc", &SLostMail::cc},           {"bcc", &SLostMail::bcc},
};
const size_t kTextFieldCount = sizeof kTextFields / sizeof kTextFields[0];

void AppendLine(std::string* out, const char* key, const std::string& value) {
    *out += key;
    *out += '=';
    *out += value;
    *out += "\r\n";
}

bool ParseUnsigned(const std::string& text, unsigned long long* value) {
    if (text.empty() || text.size() > 20)
        return false;
    unsigned long long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const unsigned long long next = result * 10 + static_cast<unsigned>(c - '0');
        if (next / 10 != result)
            return false;
        result = next;
    }
    *value = result;
    return true;
}

// Splits data into lines at LF, dropping a CR before it.
bool NextLine(const char* data, size_t size, size_t* pos, std::string* line) {
    if (*pos >= size)
        return false;
    const void* found = std::memchr(data + *pos, '\n', size - *pos);
    const size_t end = found != nullptr ? static_cast<const char*>(found) - data : size;
    size_t length = end - *pos;
    if (length > 0 && data[*pos + length - 1] == '\r')
        --length;
    line->assign(data + *pos, length);
    *pos = end + 1;
    return true;
}

// Index of a record key: the text fields first, then owner, id, held and due; -1 if unknown.
int FieldIndex(const std::string& key) {
    static const char* const kOtherKeys[] = {"owner", "id", "held", "due"};
    for (size_t i = 0; i < kTextFieldCount; ++i) {
        if (key == kTextFields[i].key)
            return static_cast<int>(i);
    }
    for (size_t i = 0; i < 4; ++i) {
        if (key == kOtherKeys[i])
            return static_cast<int>(kTextFieldCount + i);
    }
    return -1;
}
const unsigned kAllFields = (1u << (kTextFieldCount + 4)) - 1;

// Keeps one key=value line; false when it is unknown, repeated or malformed.
bool TakeField(const std::string& line, SLostMail* mail, unsigned* seen) {
    const size_t equals = line.find('=');
    const int index = equals != std::string::npos ? FieldIndex(line.substr(0, equals)) : -1;
    if (index < 0 || (*seen & (1u << index)))
        return false;
    *seen |= 1u << index;
    const std::string value = line.substr(equals + 1);
    if (static_cast<size_t>(index) < kTextFieldCount) {
        mail->*kTextFields[index].text = UnescapeLineText(value);
        return true;
    }
    switch (index - static_cast<int>(kTextFieldCount)) {
    case 0:
        mail->owner = value;
        return IsJournalOwnerName(value);
    case 1:
        return ParseUnsigned(value, &mail->id);
    case 2:
        return ParseTimeText(value, &mail->heldAt);
    default:
        return ParseTimeText(value, &mail->dueAt);
    }
}

} // namespace

std::string TimeText(const SLocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u/%02u/%02u %02u:%02u:%02u", t.wYear % 10000u,
                  t.wMonth % 100u, t.wDay % 100u, t.wHour % 100u, t.wMinute % 100u,
                  t.wSecond % 100u);
    return text;
}

bool ParseTimeText(const std::string& text, SLocalTime* t) {
    static const char kShape[] = "dddd/dd/dd dd:dd:dd";
    if (text.size() != sizeof kShape - 1)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == 'd' ? !digit : text[i] != kShape[i])
            return false;
    }
    const auto number = [&text](size_t at, size_t length) {
        return static_cast<unsigned short>(std::atoi(text.substr(at, length).c_str()));
    };
    SLocalTime result = {};
    result.wYear = number(0, 4);
    result.wMonth = number(5, 2);
    result.wDay = number(8, 2);
    result.wHour = number(11, 2);
    result.wMinute = number(14, 2);
    result.wSecond = number(17, 2);
    if (result.wMonth < 1 || result.wMonth > 12 || result.wDay < 1 || result.wDay > 31 ||
        result.wHour > 23 || result.wMinute > 59 || result.wSecond > 59)
        return false;
    *t = result;
    return true;
}

std::string FormatJournalRecord(const SLostMail& mail) {
    std::string out;
    out += kJournalMagic;
    out += "\r\n";
    AppendLine(&out, "owner", mail.owner);
    AppendLine(&out, "id", std::to_string(mail.id));
    AppendLine(&out, "held", TimeText(mail.heldAt));
    AppendLine(&out, "due", TimeText(mail.dueAt));
    for (const SFieldSlot& field : kTextFields) {
        const std::string& text = mail.*field.text;
        AppendLine(&out, field.key, EscapeLineText(CutText(text, kJournalFieldLimit, kCutMark)));
    }
    out += "end\r\n";
    return out;
}

bool ParseJournalRecord(const char* data, size_t size, SLostMail* mail) {
    if (data == nullptr || size > kJournalRecordLimit)
        return false;
    size_t pos = 0;
    std::string line;
    if (!NextLine(data, size, &pos, &line) || line != kJournalMagic)
        return false;
    SLostMail result;
    unsigned seen = 0;
    while (NextLine(data, size, &pos, &line)) {
        if (line == "end")
            break;
        if (!TakeField(line, &result, &seen))
            return false;
    }
    if (line != "end" || seen != kAllFields)
        return false;
    *mail = result;
    return true;
}

bool IsJournalOwnerName(const std::string& name) {
    if (name.empty() || name.size() > 64)
        return false;
    for (char c : name) {
        const bool ok =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
        if (!ok)
            return false;
    }
    return true;
}
