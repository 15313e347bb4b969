// The encoded words of a mail header (RFC 2047: =?charset?B?...?= and =?charset?Q?...?=), as a
// client may hold a subject, decoded into the Japanese code page (CP932). Win32-free.
//
// Charsets: ISO-2022-JP, Shift_JIS (CP932, Windows-31J), EUC-JP, UTF-8 and US-ASCII. A word
// that does not decode (an unknown charset, a broken B or Q text, bytes its charset does not
// allow, a NUL) stays as written; a character CP932 lacks becomes '?'. Blanks between two
// decoded words go; words of one charset side by side are decoded as one, since an encoder may
// split a character between them.
#pragma once

#include <cstddef>
#include <string>

// The first maxBytes bytes of text (at most up to its NUL) decoded; never longer than they are.
std::string DecodeEncodedWords(const char* text, size_t maxBytes);
