// Hostile texts made safe for line-based files: one text never spans two lines.
#pragma once

#include <cstddef>
#include <string>

// text with every byte below 0x20, 0x7F and '%' written as %XX (upper-case hex). Double-byte
// characters pass whole: their trail bytes are never in that range. Null is the empty text.
std::string EscapeLineText(const char* text);
std::string EscapeLineText(const std::string& text);

// The inverse; a '%' not followed by two hex digits stays as it is.
std::string UnescapeLineText(const std::string& text);

// At most maxBytes of text, cut before a character that does not fit whole; when anything was
// cut, mark follows the kept part (outside the bound).
std::string CutText(const std::string& text, size_t maxBytes, const char* mark);

// text with every byte below 0x20 and 0x7F replaced by a space.
std::string FlattenControls(const std::string& text);

// True for what a file whose text starts with firstLine can be left holding after a crash
// mid-write: nothing, only NUL bytes, or text that is firstLine cut short or begins with it,
// NUL bytes after it or not.
bool IsTornText(const std::string& data, const std::string& firstLine);
