// Every kind of row and of warning the confirmation shows, each with one row of a table: where
// it sorts, what it says in the list or in its check box, and what it logs. A new kind is a
// value here, its row in RowKindOf or WarningKindOf, and the code that finds it; a switch over
// kinds has no default, so the compiler names every other place it must reach. Win32-free.
#pragma once

#include <string>

struct SConfirmRow;
struct SConfirmWarning;

// What marks a row in the list; a recipient is marked by nothing but its class.
enum class ERowKind {
    Recipient,
    Keyword,        // a word of the subject that must not go outside: a row of its own
    Lookalike,      // a domain that resembles a known one, which it names
    SuffixTypo,     // a known name under a typo of its suffix: names the suffix meant too
    MixedScript,    // an internationalised label that mixes scripts
    UnreadableIdn,  // an "xn--" label that does not decode
    BccOnlyOutside, // outside in Bcc while every To and Cc recipient is inside: hidden from them
    BccMoved        // a row of no address: outside recipients were moved to Bcc unasked
};

struct SRowKind {
    // Rows sort by band, lowest first. A recipient's class adds to its band: outside 0, inside
    // only by the substring rule 1, inside 2.
    int band;
    // Shown first in warning colours, never ticked by the inside box, asked about under
    // Confirm=3.
    bool marked;
    // The 区分 column after the mark: a fixed label, with what the mark says in the 宛先 column,
    // for a row of no address; null: what the mark says.
    const char* label;
    std::string (*says)(const SConfirmRow& row); // null: nothing
    std::string (*log)(const SConfirmRow& row);  // the log line after 種類=; null: none
    // The kind of warning the Event Log names when the mail is sent despite the row; null:
    // none.
    const char* warned;
};

SRowKind RowKindOf(ERowKind kind);

// Warnings about the send as a whole, each a check box of its own under the list that must be
// ticked too. The values count up from 0 in the order of the boxes, top to bottom.
enum class EWarningKind { MassMail, NewDomain };

struct SWarningKind {
    std::string (*says)(const SConfirmWarning& warning); // the check box's text
    std::string (*log)(const SConfirmWarning& warning);  // the log line after 種類=
};

// Past the last kind, a row that says nothing: the dialog counts its boxes by it.
SWarningKind WarningKindOf(EWarningKind kind);
