// Time to build the confirmation's rows for the maximal message (three headers of 64 KB,
// about 2,000 recipients, every other one outside over 50 domains), with 100 inner domains and
// a full history; and to move the outside ones of 2,000 recipients in To and Cc to Bcc. Run by
// hand: natively (native/) and under Wine (the cross build).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "confirm/confirm_rows.h"
#include "confirm/domain_history.h"
#include "delay/bcc_move.h"
#include "delay/delay_mail.h"
#include "delay/recipient_class.h"
#include "support/string_list.h"

namespace {

const int kHeaderLimit = 65535;
const int kRecipientsPerHeader = 667;

// The stand-in client's maximal header: display names padded to fill the limit.
std::string RecipientHeader(const char* kind, int count) {
    std::string value;
    int room = kHeaderLimit / count - 2;
    for (int i = 0; i < count; ++i) {
        char address[128];
        if (i % 2)
            snprintf(address, sizeof(address), " <%s%04d@outer%03d.example.com>", kind, i, i % 50);
        else
            snprintf(address, sizeof(address), " <%s%04d@inner%03d.example>", kind, i, i % 100 + 1);
        std::string entry = "\"" + std::string(kind) + " recipient " + std::to_string(i);
        int pad = room - static_cast<int>(entry.size() + strlen(address) + 1);
        entry += std::string(pad > 0 ? pad : 0, '.') + "\"" + address;
        if (value.size() + entry.size() + 2 > static_cast<size_t>(kHeaderLimit))
            break;
        value += (value.empty() ? "" : ", ") + entry;
    }
    return value;
}

double Milliseconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main() {
    SStringList domains;
    for (int i = 1; i <= 100; ++i) {
        char domain[32];
        snprintf(domain, sizeof domain, "inner%03d.example", i);
        domains.Append(domain);
    }
    const SLocalTime today = {2026, 12, 1, 7, 10, 0, 0, 0};
    SDomainHistory history;
    for (int i = 0; i < 10000; ++i)
        history.Learn({"known" + std::to_string(i) + ".test"}, {2026, 11, 0, 1, 9, 0, 0, 0});
    history.Learn({"outer001.example.com"}, today);

    SCapturedHeaders headers;
    headers.to = RecipientHeader("to", kRecipientsPerHeader);
    headers.cc = RecipientHeader("cc", kRecipientsPerHeader);
    headers.bcc = RecipientHeader("bcc", kRecipientsPerHeader);
    SSendRecipients recipients;
    SConfirmInput input;
    input.recipients = &recipients;
    input.innerDomains = &domains;
    input.history = &history;
    input.today = today;

    for (int match : {kMatchSubstring, kMatchDomainOrSub}) {
        SConfirmOptions options;
        options.confirmMode = kConfirmOutside;
        options.innerDomainMatch = match;
        std::vector<double> samples;
        SConfirmModel model;
        for (int i = 0; i < 50; ++i) {
            // The send classifies once, for the hold and the rows alike.
            const auto start = std::chrono::steady_clock::now();
            recipients.Classify(&headers, SDomainMatcher(&domains, match), true);
            model.Build(input, options);
            samples.push_back(Milliseconds(start));
        }
        const double first = samples.front();
        std::sort(samples.begin(), samples.end());
        printf("classified and confirm rows, maximal message, match %d: %zu rows (%d outside), %zu "
               "warnings; "
               "50 builds: first %.3f ms, best %.3f ms, median %.3f ms, worst %.3f ms\n",
               match, model.rows.size(), model.outsideCount, model.warnings.size(), first,
               samples.front(), samples[samples.size() / 2], samples.back());
    }

    // The move: 1,000 recipients each in To and Cc, as above (half of them outside, the new Bcc
    // nearly full); then all 2,000 outside, with short entries so that they fit.
    std::string shortTo;
    std::string shortCc;
    for (int i = 0; i < 1000; ++i) {
        shortTo +=
            (i ? ", to" : "to") + std::to_string(i) + "@outer" + std::to_string(i % 50) + ".test";
        shortCc +=
            (i ? ", cc" : "cc") + std::to_string(i) + "@outer" + std::to_string(i % 50) + ".test";
    }
    const std::string moveTo = RecipientHeader("to", 1000);
    const std::string moveCc = RecipientHeader("cc", 1000);
    SDomainMatcher matcher(&domains);
    const std::string* pairs[][2] = {{&moveTo, &moveCc}, {&shortTo, &shortCc}};
    for (const auto& pair : pairs) {
        SBccMoveInput move;
        move.to = pair[0]->c_str();
        move.cc = pair[1]->c_str();
        move.bcc = "";
        move.from = "me@inner001.example";
        move.bufferSize = kHeaderBufferSize;
        std::vector<double> samples;
        SBccMove result;
        for (int i = 0; i < 50; ++i) {
            const auto start = std::chrono::steady_clock::now();
            result = MoveOutsideToBcc(move, matcher);
            samples.push_back(Milliseconds(start));
        }
        const double first = samples.front();
        std::sort(samples.begin(), samples.end());
        printf("move to Bcc, 2,000 recipients: outcome %d, %d moved, Bcc %zu bytes; 50 moves: "
               "first %.3f ms, best %.3f ms, median %.3f ms, worst %.3f ms\n",
               static_cast<int>(result.outcome), result.moved, result.bcc.size(), first,
               samples.front(), samples[samples.size() / 2], samples.back());
    }
    return 0;
}
