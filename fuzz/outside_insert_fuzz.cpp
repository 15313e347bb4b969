// An outside address put between two halves of any header must count, whatever the halves
// hold. The check never walks the text itself, so it cannot share the walk's blind spots: with
// the first half free of escapes, comments, angle brackets and open quotes, the inserted
// address is an entry of its own. The input is the first half, a newline, then the second.
#include <cstddef>
#include <cstdint>
#include <string>

#include "delay/delay_mail.h"
#include "tests/delay/send_capture.h"
#include "support/string_list.h"

namespace {

const size_t kHeaderRoom = kHeaderBufferSize - 1;

bool Balanced(const std::string& half) {
    int quotes = 0;
    for (char c : half) {
        if (c == '\\' || c == '(' || c == ')' || c == '<' || c == '>' || c == '\0')
            return false;
        quotes += c == '"';
    }
    return quotes % 2 == 0;
}

// What the host hands over: at most the header buffer's room.
int OuterCount(std::string value, int header, const SStringList& domains) {
    if (value.size() > kHeaderRoom)
        value.resize(kHeaderRoom);
    SCapturedHeaders headers;
    std::string* fields[] = {&headers.to, &headers.cc, &headers.bcc};
    *fields[header] = value;
    SHoldTimes times = {0, 5};
    SLocalTime now = {2026, 12, 1, 7, 10, 0, 0, 0};
    SDelayMail mail;
    CaptureSend(&mail, nullptr, &headers, &domains, times, now);
    return mail.outerCount;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    const std::string first = input.substr(0, newline);
    const std::string second = newline == std::string::npos ? "" : input.substr(newline + 1);
    if (!Balanced(first))
        return 0;
    SStringList domains;
    domains.Append("inner.example");
    const int header = static_cast<int>(size % 3);

    if (OuterCount(first + ", x@outside.test, " + second, header, domains) < 1)
        __builtin_trap();

    // A header that fills the buffer lost entries nobody saw, whatever the part that fits holds.
    // Blanks make up the length; still costly, so only for some inputs.
    if (size % 16 == 0) {
        std::string full = first + ", a@inner.example";
        full.resize(kHeaderRoom, ' ');
        if (OuterCount(full, header, domains) < 1)
            __builtin_trap();
    }
    return 0;
}
