#pragma once

#include <cstddef>

// The runtime's (natively: Shift-JIS's) answer for a byte of 0x80 or above.
bool IsHighLeadByte(unsigned char c);

// True when c starts a double-byte character in the multibyte code page.
// On Windows the C runtime decides; elsewhere Shift-JIS (code page 932).
inline bool IsLeadByte(unsigned char c) {
    // No code page has a lead byte below 0x80; text is mostly ASCII, so ask the runtime rarely.
    return c >= 0x80 && IsHighLeadByte(c);
}

// Shift-JIS lead bytes regardless of the code page in force.
inline bool IsShiftJisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Bytes that can follow a lead byte in a double-byte character.
inline bool IsTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// Length of the character at p: 2 for a lead byte followed by a trail byte,
// otherwise 1. A lead byte before anything else (a quote, a comma, the NUL)
// is a byte of its own, so it never hides a delimiter.
inline size_t CharLength(const char* p) {
    return (IsLeadByte(static_cast<unsigned char>(p[0])) &&
            IsTrailByte(static_cast<unsigned char>(p[1])))
               ? 2
               : 1;
}

// True at a lead byte that is not followed by a trail byte: broken text.
inline bool IsBrokenLead(const char* p) {
    return CharLength(p) == 1 && IsLeadByte(static_cast<unsigned char>(p[0]));
}

// True when offset lies on a character boundary of the NUL-terminated text,
// scanning from its start.
bool IsCharBoundary(const char* text, size_t offset);

// Copies src into dst of the given size, always NUL-terminated, cutting
// before a double-byte character that would not fit whole. Returns the
// number of bytes copied (without the NUL).
size_t CopyMbcs(char* dst, size_t size, const char* src);

// As CopyMbcs, for the first count bytes of src (a region that ends inside a
// double-byte character keeps its last byte: only the size cuts whole
// characters).
size_t CopyMbcsN(char* dst, size_t size, const char* src, size_t count);
