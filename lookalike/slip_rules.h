// What counts as a slip of a known domain: the kinds of typing slip and from what length of
// name each counts, the suffixes typed for others, the keys beside each other, and the letters
// that read alike. The index (lookalike_index.cpp) only finds candidates fast and asks these.
//
// A short name is one edit from hundreds of real domains of other organisations: there, only
// the slips a hand makes on a short word too count (a key beside it, a letter typed twice, a
// letter left out, two letters swapped); any letter for any other only on longer names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// One edit turning the name meant into the name typed, the most telling first.
enum class EEdit {
    None,       // not one edit apart (or the same)
    NearKeyRow, // a letter typed for the key beside it in the same row: exanple
    NearKey,    // a letter typed for the key above or below it: gmqil
    Doubled,    // a letter typed twice: exxample
    Dropped,    // a letter left out: exmple
    Swapped,    // two neighbouring letters swapped: exmaple
    Replaced,   // any letter typed for another: exbmple
    Inserted,   // any letter more: examqple
    TwoEdits    // one or two of any of the above, for long names (SlipDistance)
};

struct SEditRule {
    EEdit edit;
    size_t shortestName; // letters of the name meant from which this edit is a slip
};

template <class T> struct STableView {
    const T* first;
    const T* last;
    const T* begin() const { return first; }
    const T* end() const { return last; }
};

// Letters of the name meant from which the edit counts; never for EEdit::None.
size_t ShortestNameFor(EEdit edit);

// The single edit from meant to typed, or EEdit::None.
EEdit OneEdit(std::string_view meant, std::string_view typed);

// Whether typed is a slip of meant by one edit, or by two for a long name, by the table.
bool IsOneEditSlip(std::string_view meant, std::string_view typed);
bool IsTwoEditSlip(std::string_view meant, std::string_view typed);

// Restricted Damerau-Levenshtein distance (adjacent swaps count one), or limit + 1 when it
// is above limit.
int SlipDistance(std::string_view a, std::string_view b, int limit);

// Keys of a Japanese (or US) keyboard: beside each other in one row, or one above the other
// (the rows are staggered: s touches w and e above, z and x below).
enum class ENearness { Apart, SameRow, OtherRow };
ENearness KeyNearness(char a, char b);
// The keys beside c in its row and above and below it, written to out. Returns how many.
constexpr size_t kMaxNearKeys = 6;
size_t NearKeys(char c, char* out);

// A known domain of at most this many labels followed by more (example.co.jp.attacker.test) is a
// look-alike; longer known domains are not looked for inside others.
constexpr size_t kLongestEmbedded = 6;

// The suffixes mail is sent to by mistake in place of one another (co.jp, jp, com, ne.jp,
// or.jp, co.com, jp.net): the same name under another of them is a look-alike.
bool InSlipFamily(std::string_view suffix);

struct SSuffixTypo {
    std::string_view typed; // as it ends the domain typed: "con"
    std::string_view meant; // the suffix meant: "com"
};
// Typos of common suffixes that are suffixes of their own, the longest typed first.
STableView<SSuffixTypo> SuffixTypos();

// What a reader sees: letters that pass for others folded together (rn/m, vv/w, cl/d, 0/o,
// 1/l/i), hyphens and dots gone. out: room for text.size() letters; returns how many it holds.
size_t Skeleton(std::string_view text, char* out);

// The plain letter or digit an internationalised letter passes for, or '\0'.
char AsciiLookalike(char32_t c);

// An internationalised label mixing scripts; Japanese written with Latin letters is one.
bool MixesScripts(const std::u32string& label);
