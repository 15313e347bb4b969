// File-name-safe Base64: the alphabet of RFC 4648 section 5 without '=' padding.
#pragma once

#include <string>

// Letters, digits, '-' and '_' only; every 3 bytes become 4 characters, a trailing 1 or 2 bytes
// become 2 or 3.
std::string EncodeBase64Url(const std::string& bytes);

// Restores the bytes of an encoded text. False, with bytes untouched, for a text that
// EncodeBase64Url never produces (a foreign character, '=', a length of 4n+1, stray low bits),
// so that one file name has exactly one encoded form.
bool DecodeBase64Url(const std::string& text, std::string* bytes);
