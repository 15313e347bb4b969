#include "support/shift_jis.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "support/jis_rows.h"

namespace {

// Characters other systems write where Microsoft's table has a look-alike: JIS's wave dash,
// em dash, double bar and minus, and the Latin-1 cent, pound and not signs.
const struct {
    uint32_t unicode;
    uint16_t code;
} kAlsoMeant[] = {{0x00A2, 0x8191}, {0x00A3, 0x8192}, {0x00AC, 0x81CA}, {0x2014, 0x815C},
                  {0x2016, 0x8161}, {0x2212, 0x817C}, {0x301C, 0x8160}};

bool IsNecSelectedRow(int ku) {
    return ku >= 89 && ku <= 92;
}

// Unicode << 16 | CP932 code, by Unicode. A character CP932 holds twice keeps the code Windows
// converts it to: that of the lower row, except that the IBM rows go before the NEC-selected
// copies of them.
std::vector<uint32_t> ByUnicode() {
    std::vector<uint32_t> pairs;
    for (const bool necSelected : {false, true}) {
        for (size_t i = 0; i < kJisRowCount; ++i) {
            const SJisRow& row = kJisRows[i];
            if (IsNecSelectedRow(row.ku) != necSelected)
                continue;
            const unsigned char* p = reinterpret_cast<const unsigned char*>(row.cells);
            const unsigned char* end = p + strlen(row.cells);
            uint32_t code = 0;
            for (int ten = 1; ten <= 94 && NextUtf8(&p, end, &code); ++ten) {
                if (code != '_')
                    pairs.push_back(code << 16 | ShiftJisOfKuten(row.ku, ten));
            }
        }
    }
    for (const auto& also : kAlsoMeant)
        pairs.push_back(also.unicode << 16 | also.code);
    const auto unicodeLess = [](uint32_t a, uint32_t b) { return a >> 16 < b >> 16; };
    const auto sameUnicode = [](uint32_t a, uint32_t b) { return a >> 16 == b >> 16; };
    std::stable_sort(pairs.begin(), pairs.end(), unicodeLess);
    pairs.erase(std::unique(pairs.begin(), pairs.end(), sameUnicode), pairs.end());
    return pairs;
}

} // namespace

uint16_t ShiftJisOfKuten(int ku, int ten) {
    if (ku < 1 || ku > 120 || ten < 1 || ten > 94)
        return 0;
    const int lead = (ku + 1) / 2 + (ku <= 62 ? 0x80 : 0xC0);
    const int trail = ku % 2 ? ten + (ten <= 63 ? 0x3F : 0x40) : ten + 0x9E;
    return static_cast<uint16_t>(lead << 8 | trail);
}

uint16_t Cp932OfUnicode(uint32_t code) {
    if (code < 0x80)
        return static_cast<uint16_t>(code);
    if (code >= 0xFF61 && code <= 0xFF9F)
        return static_cast<uint16_t>(code - 0xFF61 + 0xA1);
    if (code > 0xFFFF)
        return 0;
    static const std::vector<uint32_t> table = ByUnicode();
    const auto found = std::lower_bound(table.begin(), table.end(), code << 16);
    return found != table.end() && *found >> 16 == code ? static_cast<uint16_t>(*found) : 0;
}

bool NextUtf8(const unsigned char** p, const unsigned char* end, uint32_t* code) {
    const unsigned char* s = *p;
    if (s >= end)
        return false;
    if (s[0] < 0x80) {
        *code = s[0];
        *p = s + 1;
        return true;
    }
    int more = 0;
    if (s[0] >= 0xC2 && s[0] <= 0xDF)
        more = 1;
    else if (s[0] >= 0xE0 && s[0] <= 0xEF)
        more = 2;
    else if (s[0] >= 0xF0 && s[0] <= 0xF4)
        more = 3;
    else
        return false;
    static const uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    uint32_t value = s[0] & (0x3F >> more);
    if (end - s <= more)
        return false;
    for (int i = 1; i <= more; ++i) {
        if ((s[i] & 0xC0) != 0x80)
            return false;
        value = value << 6 | (s[i] & 0x3F);
    }
    if (value < kLeast[more] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    *code = value;
    *p = s + more + 1;
    return true;
}
