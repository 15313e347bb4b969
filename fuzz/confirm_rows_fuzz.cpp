// The confirmation's rows against the hold decision's own count, for any header bytes. The
// input is one option byte, then the inner domains (comma-separated), To, Cc and Bcc, each
// ended by a newline.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "confirm/confirm_rows.h"
#include "confirm/domain_history.h"
#include "delay/recipient_class.h"
#include "support/string_list.h"

namespace {

const SLocalTime kToday = {2026, 12, 1, 7, 10, 0, 0, 0};

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

std::vector<std::string> Split(const std::string& input) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const size_t end = input.find('\n', start);
        if (end == std::string::npos)
            break;
        parts.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    parts.push_back(input.substr(start));
    parts.resize(4);
    return parts;
}

const SDomainHistory& History() {
    static SDomainHistory history;
    if (history.Size() == 0) {
        for (int i = 0; i < SDomainHistory::kLearningMessages; ++i)
            history.Learn({"b.test", "other.test"}, {2026, 11, 0, 1, 9, 0, 0, 0});
    }
    return history;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 3 * 65536)
        return 0;
    const uint8_t flags = data[0];
    std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    input = input.c_str(); // up to the first NUL, as headers arrive
    const std::vector<std::string> parts = Split(input);

    SStringList domains;
    domains.AppendCommaSeparated(parts[0].c_str());
    SConfirmOptions options;
    options.confirmMode = flags & 3;
    options.innerDomainMatch = (flags >> 2) & 1;
    options.insideEach = (flags >> 3) & 1;
    options.newDomainWarn = (flags >> 4) & 1;
    options.bccWarnCount = (flags >> 5) & 3;
    SCapturedHeaders headers;
    headers.to = parts[1];
    headers.cc = parts[2];
    headers.bcc = parts[3];
    SSendRecipients recipients;
    recipients.Classify(&headers, SDomainMatcher(&domains, options.innerDomainMatch), true);
    SConfirmInput in;
    in.recipients = &recipients;
    in.innerDomains = &domains;
    in.history = (flags & 0x80) ? &History() : nullptr;
    in.today = kToday;
    SConfirmModel model;
    model.Build(in, options);

    // What the hold decision counts, and what a history would learn.
    SDomainMatcher matcher(&domains, options.innerDomainMatch);
    int inner = 0;
    int outer = 0;
    std::unique_ptr<SStringList> lists[3];
    for (int field = 0; field < 3; ++field) {
        std::string copy = parts[field + 1];
        lists[field].reset(ClassifyRecipients(&copy[0], matcher, &inner, &outer));
    }
    Check(model.outsideCount == outer && model.insideCount == inner);
    Check(model.rows.size() == static_cast<size_t>(inner + outer));

    int outsideRows = 0;
    int massAddresses = 0;
    bool lookAlike = false;
    std::set<std::string> outsideDomains;
    for (size_t i = 0; i < model.rows.size(); ++i) {
        const SConfirmRow& row = model.rows[i];
        Check(row.entry.size() <= kRowEntryBytes * 4 + 3);
        for (unsigned char c : row.entry)
            Check(c >= 0x20 && c != 0x7F);
        if (row.outside) {
            Check(static_cast<int>(i) == outsideRows++); // outside ones come first
            // Look-alikes lead; the rest by domain.
            Check(i == 0 || RowKindOf(model.rows[i - 1].kind).marked ||
                  model.rows[i - 1].domain <= row.domain);
            Check(!RowKindOf(row.kind).marked ||
                  (!row.domain.empty() && !(in.history && in.history->Knows(row.domain))));
            massAddresses += row.field != kFieldBcc;
            if (!row.domain.empty())
                outsideDomains.insert(row.domain);
        }
        Check(!row.insideTickable || (!row.outside && !row.substringOnly && !options.insideEach));
        Check(!row.malformed || row.outside);
        Check(!RowKindOf(row.kind).marked || (row.outside && !row.insideTickable));
        lookAlike = lookAlike || row.substringOnly;
        Check(!row.newDomain || (row.outside && in.history));
    }
    Check(outsideRows == outer);
    const std::vector<std::string> learned =
        OutsideDomains(lists[0].get(), lists[1].get(), lists[2].get(), matcher);
    Check(learned == std::vector<std::string>(outsideDomains.begin(), outsideDomains.end()));
    Check(learned == recipients.OutsideDomains());
    const bool massWarned = options.bccWarnCount > 0 && massAddresses >= options.bccWarnCount;
    Check(massWarned ==
          (!model.warnings.empty() && model.warnings[0].kind == EWarningKind::MassMail));
    bool attention = !model.warnings.empty();
    for (const SConfirmRow& row : model.rows)
        attention = attention || RowKindOf(row.kind).marked || row.malformed || row.substringOnly ||
                    row.newDomain;
    Check(model.needed == (options.confirmMode == kConfirmAlways ||
                           (options.confirmMode == kConfirmOutside && (outer > 0 || lookAlike)) ||
                           (options.confirmMode == kConfirmAttention && attention)));

    // Nothing goes with a single tick missing; everything ticked goes.
    SConfirmTicks ticks = model.NewTicks();
    model.TickAllInside(&ticks, true);
    for (size_t i = 0; i < ticks.rows.size(); ++i)
        Check(!ticks.rows[i] || model.rows[i].insideTickable);
    ticks.rows.assign(ticks.rows.size(), true);
    ticks.warnings.assign(ticks.warnings.size(), true);
    Check(model.CanSend(ticks));
    const size_t total = ticks.rows.size() + ticks.warnings.size();
    if (total > 0) {
        const size_t open = (size > 1 ? data[size - 1] : 0) % total;
        if (open < ticks.rows.size())
            ticks.rows[open] = false;
        else
            ticks.warnings[open - ticks.rows.size()] = false;
        Check(!model.CanSend(ticks));
    }
    return 0;
}
