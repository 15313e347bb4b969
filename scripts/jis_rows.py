#!/usr/bin/env python3
"""Writes support/jis_rows.cpp: the double-byte characters of the Japanese code page (CP932) by
JIS row, from Python's cp932 codec (Microsoft's table). The plug-in converts UTF-8 into CP932
with it, so it needs no table of the system's.

Usage: jis_rows.py           (rewrites the file)
       jis_rows.py --check   (fails when the file differs from what this writes)
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TARGET = os.path.join(ROOT, "support", "jis_rows.cpp")
NONE = "_"  # never a double-byte character's: every one lies beyond ASCII
CUT = 47    # cells per source line: two lines a row


def shift_jis(ku, ten):
    lead = (ku + 1) // 2 + (0x80 if ku <= 62 else 0xC0)
    trail = ten + (0x3F if ten <= 63 else 0x40) if ku % 2 else ten + 0x9E
    return bytes([lead, trail])


def cell(ku, ten):
    try:
        char = shift_jis(ku, ten).decode("cp932")
    except UnicodeDecodeError:
        return NONE
    # The user-defined rows stand for private-use characters: nothing to match.
    return NONE if 0xE000 <= ord(char) <= 0xF8FF else char


def text():
    lines = [
        "// Written by scripts/jis_rows.py from Microsoft's CP932 table: do not edit.",
        '#include "support/jis_rows.h"',
        "",
        "// clang-format off",
        "const SJisRow kJisRows[] = {",
    ]
    for ku in range(1, 121):
        cells = "".join(cell(ku, ten) for ten in range(1, 95))
        if cells == NONE * 94:
            continue
        lines.append(f'    {{{ku}, u8"{cells[:CUT]}"')
        lines.append(f'        u8"{cells[CUT:]}"}},')
    lines += [
        "};",
        "// clang-format on",
        "const size_t kJisRowCount = sizeof kJisRows / sizeof kJisRows[0];",
        "",
    ]
    return "\n".join(lines)


def main():
    wanted = text()
    if sys.argv[1:] == ["--check"]:
        with open(TARGET, encoding="utf-8") as f:
            if f.read() != wanted:
                sys.exit(f"{TARGET} differs from what scripts/jis_rows.py writes")
        return
    with open(TARGET, "w", encoding="utf-8", newline="\n") as f:
        f.write(wanted)


if __name__ == "__main__":
    main()
