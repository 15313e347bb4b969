// Into the Japanese code page (CP932) from JIS rows and cells and from Unicode, with our own
// table: Win32-free, so the plug-in converts exactly as the native tests and the fuzzer do.
#pragma once

#include <cstdint>

// The Shift-JIS code of JIS row ku (1..120, rows above 94 being CP932's own) and cell ten
// (1..94); 0 outside. The same formula for every row.
uint16_t ShiftJisOfKuten(int ku, int ten);

// The CP932 code of a Unicode character, below 0x100 for a single byte (ASCII, half-width
// katakana); 0 when CP932 lacks it. A character CP932 holds twice gets the code Windows
// converts it to.
uint16_t Cp932OfUnicode(uint32_t code);

// The UTF-8 character at *p (before end): its code, and *p moved past it. False, *p unmoved,
// for a sequence UTF-8 does not allow (cut short, overlong, a surrogate, beyond U+10FFFF).
bool NextUtf8(const unsigned char** p, const unsigned char* end, uint32_t* code);
