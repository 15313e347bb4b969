// What the confirmation before a send shows, and when it lets the mail go. Free of the
// platform: the dialog is a view over this model.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "confirm/confirm_kinds.h"
#include "support/local_time.h"

class SStringList;
class SSettingValues;
class SDomainMatcher;
class SDomainHistory;
class SSendRecipients;

// [Option] Confirm=; a value above 3 counts as 2, below 0 as 0.
enum EConfirmMode {
    kConfirmNever = 0,
    kConfirmOutside = 1,
    kConfirmAlways = 2,
    kConfirmAttention = 3 // only when a row or a warning needs attention
};

// The header a row came from; a keyword row stands for the subject.
enum ERecipientField { kFieldTo = 0, kFieldCc = 1, kFieldBcc = 2, kFieldSubject = 3 };

// Longest entry text a row shows, in bytes before escaping; longer ones end in "...".
const size_t kRowEntryBytes = 256;

// The row that stands for the recipients a header lost to its buffer's size.
extern const char kCutRowEntry[];

// The keys the confirmation reads, taken from the values in one place.
struct SConfirmOptions {
    // The key table's defaults.
    SConfirmOptions();
    explicit SConfirmOptions(const SSettingValues& values);

    int confirmMode;  // 1 when any recipient is outside, 2 every send
    bool insideEach;  // the inside rows too must be ticked one by one
    int bccWarnCount; // To+Cc outside addresses that raise the warning; 0 off
    bool newDomainWarn;
    int innerDomainMatch;        // as the hold decision: 0 substring, 1 the domain or a sub-domain
    std::string outsideKeywords; // list of words the subject of outside mail is checked for
};

struct SConfirmInput {
    // As the send classified them, with the hold's rule and the same inner domains; null: none.
    const SSendRecipients* recipients = nullptr;
    const SStringList* innerDomains = nullptr;
    const SDomainHistory* history = nullptr; // null: none loaded, no domain is marked new
    SLocalTime today = {};                   // decides whether the history is still learning
    const char* subject = nullptr;           // only looked into for the outside keywords
};

struct SConfirmRow {
    int field = kFieldTo;
    std::string entry;  // as written: bounded, control characters and broken bytes as \xNN
    std::string domain; // lower case; empty when the entry is not one plain address
    bool outside = false;
    bool malformed = false;      // not one plain address: always outside
    bool substringOnly = false;  // inside only because an inner domain occurs in its domain
    bool newDomain = false;      // outside, and mail never left for this domain (「初めて」)
    bool insideTickable = false; // the "tick every inside recipient" box may tick it
    ERowKind kind = ERowKind::Recipient;
    std::string resembles; // look-alike: the known domain
    std::string decoded;   // look-alike with an internationalised name: decoded, UTF-8
};

struct SConfirmWarning {
    EWarningKind kind = EWarningKind::MassMail;
    int addresses = 0;              // mass mail: outside entries of To and Cc (N)
    int domains = 0;                // mass mail: their distinct domains (M)
    std::vector<std::string> names; // new domains, sorted, raw: show them through DisplayText
};

// The user's ticks, one per row and one per warning, in the model's order.
struct SConfirmTicks {
    std::vector<bool> rows;
    std::vector<bool> warnings;
};

class SConfirmModel {
  public:
    // Shows the recipients as the hold decision classified them, so the two never disagree
    // about who is outside.
    void Build(const SConfirmInput& input, const SConfirmOptions& options);

    // Everything unticked, sized to this model.
    SConfirmTicks NewTicks() const;
    // Ticks or clears every row the "tick every inside recipient" box may touch.
    void TickAllInside(SConfirmTicks* ticks, bool on) const;
    // Whether the box is offered at all: some row is tickable by it.
    bool HasInsideTickAll() const;
    // True only when every row and every warning is ticked.
    bool CanSend(const SConfirmTicks& ticks) const;
    // The same, for a dialog that keeps count of the rows ticked: a click walks no rows.
    bool CanSend(const SConfirmTicks& ticks, size_t rowsTicked) const;

    bool needed = false;           // the dialog is to be shown for this send
    std::vector<SConfirmRow> rows; // outside first, grouped by domain, then inside
    std::vector<SConfirmWarning> warnings;
    int insideCount = 0;
    int outsideCount = 0;

  private:
    void AddWarnings(const SConfirmOptions& options);
};

// The distinct lower-case domains of the plain outside entries of these lists (any may be
// null): what a history learns once the mail has really left.
std::vector<std::string> OutsideDomains(const SStringList* to, const SStringList* cc,
                                        const SStringList* bcc, const SDomainMatcher& matcher);

// text made fit to show: control characters and bytes of no whole character as \xNN, and cut
// after maxBytes of the text (never inside a double-byte character) with "..." added.
std::string DisplayText(const char* text, size_t maxBytes);
