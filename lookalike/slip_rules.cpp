#include "lookalike/slip_rules.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

// Measured on a firm's known domains against domains of other organisations
// (bench/lookalike-data, lookalike_quality): below these lengths an edit of that kind marks
// more real names of others than it catches slips. A kind that names a key or a doubled letter
// never asks for more letters than any letter replaced or added does: OneEdit names it first.
const SEditRule kEditRuleTable[] = {
    {EEdit::NearKeyRow, 3}, // tks: tjs
    {EEdit::NearKey, 4},    // smbc: smgc
    {EEdit::Doubled, 2},    // ey: eyy
    {EEdit::Dropped, 4},    // smbc: smc
    {EEdit::Swapped, 4},    // smbc: msbc
    {EEdit::Replaced, 8},   // kawasaki: kawapaki
    {EEdit::Inserted, 8},   // kawasaki: kawasakqi
    {EEdit::TwoEdits, 12},  // tokyo-sangyo: tokio-sangio
};

// Typed, meant: the longest typed first, so that co.jo is read before jo. Where one typo stands
// for two suffixes (co), the first known name found wins.
const SSuffixTypo kSuffixTypoTable[] = {
    {"com.jp", "co.jp"}, {"co.jo", "co.jp"}, {"ne.jo", "ne.jp"}, {"or.jo", "or.jp"},
    {"ac.jo", "ac.jp"},  {"cojp", "co.jp"},  {"comm", "com"},    {"con", "com"},
    {"cmo", "com"},      {"co", "com"},      {"co", "co.jp"},    {"cm", "com"},
    {"om", "com"},       {"jo", "jp"},
};

const char* const kSlipFamily[] = {"co.jp", "jp", "com", "ne.jp", "or.jp", "co.com", "jp.net"};

// The rows of keys a domain's letters are typed on, each set half a key right of the one above.
const char* const kKeyRows[] = {"1234567890-", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
const int kKeyRowCount = 4;

// Rows of the edit table for names up to this long live on the stack.
const int kStackRow = 256;

bool FindKey(char c, int* row, int* column) {
    for (int r = 0; r < kKeyRowCount; ++r) {
        for (int k = 0; kKeyRows[r][k]; ++k) {
            if (kKeyRows[r][k] == c) {
                *row = r;
                *column = k;
                return true;
            }
        }
    }
    return false;
}

char KeyAt(int row, int column) {
    if (row < 0 || row >= kKeyRowCount || column < 0)
        return '\0';
    const std::string_view keys(kKeyRows[row]);
    return static_cast<size_t>(column) < keys.size() ? keys[column] : '\0';
}

// Scripts a label's letters come from; digits and the hyphen belong to none.
enum { kLatin = 1, kGreek = 2, kCyrillic = 4, kJapanese = 8, kHangul = 16, kOtherScript = 32 };

int ScriptOf(char32_t c) {
    if ((c >= '0' && c <= '9') || c == '-')
        return 0;
    if (c < 0x250)
        return kLatin;
    if (c >= 0x370 && c <= 0x3FF)
        return kGreek;
    if (c >= 0x400 && c <= 0x52F)
        return kCyrillic;
    // Hiragana, katakana and their small forms, kanji, and half-width katakana with its
    // voicing marks.
    if ((c >= 0x3040 && c <= 0x30FF) || (c >= 0x31F0 && c <= 0x31FF) ||
        (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
        (c >= 0xFF66 && c <= 0xFF9F))
        return kJapanese;
    if (c >= 0xAC00 && c <= 0xD7AF)
        return kHangul;
    // Full-width digits and letters.
    if (c >= 0xFF10 && c <= 0xFF5A)
        return kLatin;
    return kOtherScript;
}

struct SConfusable {
    char32_t from;
    char to;
};

// Letters of other scripts, and accented ones, that pass for plain ones.
const SConfusable kConfusables[] = {
    {0x0430, 'a'}, {0x0435, 'e'}, {0x043E, 'o'}, {0x0440, 'p'}, {0x0441, 'c'}, {0x0443, 'y'},
    {0x0445, 'x'}, {0x0456, 'i'}, {0x0458, 'j'}, {0x0455, 's'}, {0x0501, 'd'}, {0x04BB, 'h'},
    {0x04CF, 'l'}, {0x051B, 'q'}, {0x051D, 'w'}, {0x03B1, 'a'}, {0x03BF, 'o'}, {0x03C1, 'p'},
    {0x03BD, 'v'}, {0x03B9, 'i'}, {0x03BA, 'k'}, {0x03C5, 'u'}, {0x03C7, 'x'}, {0x0131, 'i'},
    {0x0261, 'g'}, {0x00E7, 'c'}, {0x00F1, 'n'}, {0x00FD, 'y'}, {0x00FF, 'y'}};

} // namespace

STableView<SSuffixTypo> SuffixTypos() {
    return {std::begin(kSuffixTypoTable), std::end(kSuffixTypoTable)};
}

size_t ShortestNameFor(EEdit edit) {
    for (const SEditRule& rule : kEditRuleTable) {
        if (rule.edit == edit)
            return rule.shortestName;
    }
    return static_cast<size_t>(-1);
}

EEdit OneEdit(std::string_view meant, std::string_view typed) {
    const size_t n = meant.size();
    const size_t m = typed.size();
    size_t i = 0;
    while (i < n && i < m && meant[i] == typed[i])
        ++i;
    if (n == m) {
        if (i == n)
            return EEdit::None;
        if (i + 1 < n && meant[i] == typed[i + 1] && meant[i + 1] == typed[i] &&
            meant.substr(i + 2) == typed.substr(i + 2))
            return EEdit::Swapped;
        if (meant.substr(i + 1) != typed.substr(i + 1))
            return EEdit::None;
        switch (KeyNearness(meant[i], typed[i])) {
        case ENearness::SameRow:
            return EEdit::NearKeyRow;
        case ENearness::OtherRow:
            return EEdit::NearKey;
        case ENearness::Apart:
            break;
        }
        return EEdit::Replaced;
    }
    if (m == n + 1) {
        if (typed.substr(i + 1) != meant.substr(i))
            return EEdit::None;
        // The first letter that differs is the second of two like ones when one was doubled.
        return i > 0 && typed[i - 1] == typed[i] ? EEdit::Doubled : EEdit::Inserted;
    }
    if (n == m + 1 && meant.substr(i + 1) == typed.substr(i))
        return EEdit::Dropped;
    return EEdit::None;
}

bool IsOneEditSlip(std::string_view meant, std::string_view typed) {
    const EEdit edit = OneEdit(meant, typed);
    return edit != EEdit::None && meant.size() >= ShortestNameFor(edit);
}

bool IsTwoEditSlip(std::string_view meant, std::string_view typed) {
    if (meant.size() < ShortestNameFor(EEdit::TwoEdits))
        return false;
    // What both begin and end with costs nothing: only the rest is measured.
    while (!meant.empty() && !typed.empty() && meant.front() == typed.front()) {
        meant.remove_prefix(1);
        typed.remove_prefix(1);
    }
    while (!meant.empty() && !typed.empty() && meant.back() == typed.back()) {
        meant.remove_suffix(1);
        typed.remove_suffix(1);
    }
    return SlipDistance(meant, typed, 2) <= 2;
}

int SlipDistance(std::string_view a, std::string_view b, int limit) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    if (std::abs(n - m) > limit)
        return limit + 1;
    // Only cells within limit of the diagonal can stay within limit; the others hold cap.
    const int cap = limit + 1;
    int stackRows[3 * (kStackRow + 1)];
    std::vector<int> heapRows;
    int* rows = stackRows;
    if (m > kStackRow) {
        heapRows.resize(3 * (static_cast<size_t>(m) + 1));
        rows = heapRows.data();
    }
    int* before = rows;
    int* previous = rows + (m + 1);
    int* current = rows + 2 * (m + 1);
    for (int j = 0; j <= m; ++j)
        previous[j] = std::min(j, cap);
    for (int i = 1; i <= n; ++i) {
        const int low = std::max(1, i - limit);
        const int high = std::min(m, i + limit);
        current[0] = std::min(i, cap);
        if (low > 1)
            current[low - 1] = cap;
        int best = current[0];
        for (int j = low; j <= high; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[j - 2] + 1);
            current[j] = std::min(d, cap);
            best = std::min(best, current[j]);
        }
        if (high < m)
            current[high + 1] = cap;
        if (best > limit)
            return cap;
        int* const oldest = before;
        before = previous;
        previous = current;
        current = oldest;
    }
    return std::min(previous[m], cap);
}

ENearness KeyNearness(char a, char b) {
    char near[kMaxNearKeys];
    const size_t count = NearKeys(a, near);
    for (size_t k = 0; k < count; ++k) {
        if (near[k] == b) {
            int rowA = 0, rowB = 0, column = 0;
            FindKey(a, &rowA, &column);
            FindKey(b, &rowB, &column);
            return rowA == rowB ? ENearness::SameRow : ENearness::OtherRow;
        }
    }
    return ENearness::Apart;
}

size_t NearKeys(char c, char* out) {
    int row = 0, column = 0;
    if (!FindKey(c, &row, &column))
        return 0;
    const char candidates[kMaxNearKeys] = {KeyAt(row, column - 1),     KeyAt(row, column + 1),
                                           KeyAt(row - 1, column),     KeyAt(row - 1, column + 1),
                                           KeyAt(row + 1, column - 1), KeyAt(row + 1, column)};
    size_t count = 0;
    for (size_t k = 0; k < kMaxNearKeys; ++k) {
        if (candidates[k])
            out[count++] = candidates[k];
    }
    return count;
}

bool InSlipFamily(std::string_view suffix) {
    for (const char* entry : kSlipFamily) {
        if (suffix == entry)
            return true;
    }
    return false;
}

size_t Skeleton(std::string_view text, char* out) {
    // Single letters first, so that a pair one of them makes folds too: ic1oud reads as icloud.
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        out[i] = c == '0' ? 'o' : c == '1' || c == 'i' ? 'l' : c;
    }
    size_t size = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = out[i];
        const char next = i + 1 < text.size() ? out[i + 1] : '\0';
        if ((c == 'r' && next == 'n') || (c == 'v' && next == 'v') || (c == 'c' && next == 'l')) {
            out[size++] = c == 'r' ? 'm' : c == 'v' ? 'w' : 'd';
            ++i;
        } else if (c != '-' && c != '.') {
            out[size++] = c;
        }
    }
    return size;
}

char AsciiLookalike(char32_t c) {
    if (c < 0x80)
        return static_cast<char>(c);
    if (c >= 0xFF41 && c <= 0xFF5A)
        return static_cast<char>('a' + (c - 0xFF41));
    if (c >= 0xFF10 && c <= 0xFF19)
        return static_cast<char>('0' + (c - 0xFF10));
    if (c >= 0xE0 && c <= 0xE5)
        return 'a';
    if (c >= 0xE8 && c <= 0xEB)
        return 'e';
    if (c >= 0xEC && c <= 0xEF)
        return 'i';
    if ((c >= 0xF2 && c <= 0xF6) || c == 0xF8)
        return 'o';
    if (c >= 0xF9 && c <= 0xFC)
        return 'u';
    for (const SConfusable& entry : kConfusables) {
        if (entry.from == c)
            return entry.to;
    }
    return '\0';
}

bool MixesScripts(const std::u32string& label) {
    int scripts = 0;
    for (char32_t c : label)
        scripts |= ScriptOf(c);
    if (scripts & kJapanese)
        scripts &= ~kLatin;
    return (scripts & (scripts - 1)) != 0;
}
