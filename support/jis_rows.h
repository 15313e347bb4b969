// The double-byte characters of the Japanese code page (CP932) by JIS row (ku), written by
// scripts/jis_rows.py. Rows above 94 are CP932's IBM extension (Shift-JIS FA40..FC4B); rows
// with no character, and the user-defined ones, are left out.
#pragma once

#include <cstddef>

struct SJisRow {
    int ku;
    const char* cells; // UTF-8: the 94 cells (ten) in order, '_' where CP932 has none
};

extern const SJisRow kJisRows[];
extern const size_t kJisRowCount;
