#include "confirm/confirm_rows.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>

#include "confirm/confirm_attention.h"
#include "confirm/domain_history.h"
#include "delay/delay_mail.h"
#include "delay/recipient_class.h"
#include "settings/setting_values.h"
#include "support/address_list.h"
#include "support/mbcs.h"
#include "support/string_list.h"

namespace {

// Bytes that show as nothing or as something else: controls and the code page's holes.
bool ShowsEscaped(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == 0x80 || c == 0xA0 || c >= 0xFD;
}

void AppendEscaped(std::string* out, unsigned char c) {
    char hex[8];
    snprintf(hex, sizeof hex, "\\x%02X", c);
    *out += hex;
}

// Rows in the dialog's order: the marked ones by their kind's band, then outside by domain
// (entries without one first), then inside ones that only the substring rule keeps inside,
// then the rest as written.
int Band(const SConfirmRow& row) {
    const SRowKind kind = RowKindOf(row.kind);
    if (kind.marked)
        return kind.band;
    return kind.band + (row.outside ? 0 : row.substringOnly ? 1 : 2);
}

bool ShowsBefore(const SConfirmRow& a, const SConfirmRow& b) {
    const int bandA = Band(a);
    const int bandB = Band(b);
    if (bandA != bandB)
        return bandA < bandB;
    return bandA == 0 && a.domain < b.domain;
}

// Nobody saw the recipients a full buffer lost: they stand as one outside row to tick.
SConfirmRow CutRow(int field) {
    SConfirmRow row;
    row.field = field;
    row.entry = kCutRowEntry;
    row.malformed = true;
    row.outside = true;
    return row;
}

} // namespace

const char kCutRowEntry[] = "（宛先が長すぎるため、ここから先は読めません）";

std::string DisplayText(const char* text, size_t maxBytes) {
    std::string out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : "");
    size_t used = 0;
    while (*p) {
        const bool pair = IsLeadByte(p[0]) && IsTrailByte(p[1]);
        const size_t n = pair ? 2 : 1;
        if (used + n > maxBytes) {
            out += "...";
            break;
        }
        if (pair)
            out.append(reinterpret_cast<const char*>(p), 2);
        else if (ShowsEscaped(p[0]) || IsLeadByte(p[0]))
            AppendEscaped(&out, p[0]);
        else
            out += static_cast<char>(p[0]);
        used += n;
        p += n;
    }
    return out;
}

SConfirmOptions::SConfirmOptions() : SConfirmOptions(SSettingValues()) {}

SConfirmOptions::SConfirmOptions(const SSettingValues& values)
    : confirmMode(values.Int(EKeyId::Confirm)),
      insideEach(values.Int(EKeyId::ConfirmInsideEach) != 0),
      bccWarnCount(values.Int(EKeyId::BccWarnCount)),
      newDomainWarn(values.Int(EKeyId::NewDomainWarn) != 0),
      innerDomainMatch(values.Int(EKeyId::InnerDomainMatch)),
      outsideKeywords(values.Text(EKeyId::OutsideKeywords)) {}

void SConfirmModel::Build(const SConfirmInput& input, const SConfirmOptions& options) {
    rows.clear();
    warnings.clear();
    insideCount = 0;
    outsideCount = 0;

    // Under the substring rule, the strict one tells which inside labels are only look-alikes.
    std::unique_ptr<SDomainMatcher> strict;
    if (options.innerDomainMatch == kMatchSubstring)
        strict.reset(new SDomainMatcher(input.innerDomains, kMatchDomainOrSub));
    const bool markNew =
        options.newDomainWarn && input.history && !input.history->IsLearning(input.today);

    SSendRecipients none;
    const SSendRecipients& recipients = input.recipients ? *input.recipients : none;
    for (int field = kFieldTo; field <= kFieldBcc; ++field) {
        for (const SRecipient& recipient : recipients.fields[field].entries) {
            SConfirmRow row;
            row.field = field;
            row.entry = DisplayText(recipient.entry, kRowEntryBytes);
            const char* domain = recipient.domain;
            row.malformed = domain == nullptr;
            row.outside = !recipient.inner;
            if (domain)
                row.domain = LowerCaseDomain(domain);
            row.substringOnly = !row.outside && strict && !strict->IsInnerDomain(domain);
            row.newDomain = markNew && row.outside && domain && !input.history->Knows(row.domain);
            row.insideTickable = !row.outside && !row.substringOnly && !options.insideEach;
            if (row.outside)
                ++outsideCount;
            else
                ++insideCount;
            rows.push_back(std::move(row));
        }
        if (recipients.fields[field].full) {
            rows.push_back(CutRow(field));
            ++outsideCount;
        }
    }
    if (recipients.cutByAnswer >= 0) {
        rows.push_back(CutRow(recipients.cutByAnswer));
        ++outsideCount;
    }
    MarkLookalikes(&rows, input.innerDomains, input.history);
    AddKeywordRows(&rows, input.subject, options.outsideKeywords.c_str());
    std::stable_sort(rows.begin(), rows.end(), ShowsBefore);

    // A look-alike that only the substring rule keeps inside is asked about like an outside one.
    if (options.confirmMode == kConfirmOutside)
        needed = outsideCount > 0 ||
                 std::any_of(rows.begin(), rows.end(),
                             [](const SConfirmRow& row) { return row.substringOnly; });
    else
        needed = options.confirmMode == kConfirmAlways;

    AddWarnings(options);
    if (options.confirmMode == kConfirmAttention)
        needed = NeedsAttention(*this);
}

void SConfirmModel::AddWarnings(const SConfirmOptions& options) {
    int massAddresses = 0;
    std::set<std::string> massDomains;
    std::set<std::string> newDomains;
    for (const SConfirmRow& row : rows) {
        if (row.outside && row.field != kFieldBcc) {
            ++massAddresses;
            if (!row.domain.empty())
                massDomains.insert(row.domain);
        }
        if (row.newDomain)
            newDomains.insert(row.domain);
    }
    if (options.bccWarnCount > 0 && massAddresses >= options.bccWarnCount) {
        SConfirmWarning warning;
        warning.kind = EWarningKind::MassMail;
        warning.addresses = massAddresses;
        warning.domains = static_cast<int>(massDomains.size());
        warnings.push_back(std::move(warning));
    }
    if (!newDomains.empty()) {
        SConfirmWarning warning;
        warning.kind = EWarningKind::NewDomain;
        warning.names.assign(newDomains.begin(), newDomains.end());
        warnings.push_back(std::move(warning));
    }
}

SConfirmTicks SConfirmModel::NewTicks() const {
    SConfirmTicks ticks;
    ticks.rows.assign(rows.size(), false);
    ticks.warnings.assign(warnings.size(), false);
    return ticks;
}

void SConfirmModel::TickAllInside(SConfirmTicks* ticks, bool on) const {
    for (size_t i = 0; i < rows.size() && i < ticks->rows.size(); ++i) {
        if (rows[i].insideTickable)
            ticks->rows[i] = on;
    }
}

bool SConfirmModel::HasInsideTickAll() const {
    for (const SConfirmRow& row : rows) {
        if (row.insideTickable)
            return true;
    }
    return false;
}

bool SConfirmModel::CanSend(const SConfirmTicks& ticks) const {
    return CanSend(ticks,
                   static_cast<size_t>(std::count(ticks.rows.begin(), ticks.rows.end(), true)));
}

bool SConfirmModel::CanSend(const SConfirmTicks& ticks, size_t rowsTicked) const {
    if (ticks.rows.size() != rows.size() || ticks.warnings.size() != warnings.size())
        return false;
    return rowsTicked == rows.size() &&
           std::find(ticks.warnings.begin(), ticks.warnings.end(), false) == ticks.warnings.end();
}

std::vector<std::string> OutsideDomains(const SStringList* to, const SStringList* cc,
                                        const SStringList* bcc, const SDomainMatcher& matcher) {
    std::set<std::string> domains;
    std::unique_ptr<char[]> address(new char[kAddressPartSize]);
    for (const SStringList* list : {to, cc, bcc}) {
        for (const SStringNode* node = list ? list->first : nullptr; node; node = node->next) {
            const char* domain = PlainAddressDomain(node->text, address.get());
            if (domain && !matcher.IsInnerDomain(domain))
                domains.insert(LowerCaseDomain(domain));
        }
    }
    return std::vector<std::string>(domains.begin(), domains.end());
}
