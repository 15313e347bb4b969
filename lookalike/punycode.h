// Internationalised domain labels: the "xn--" form back to its characters.
#pragma once

#include <string>

// Decodes the part after "xn--" of one label into code points. False for text that is not
// valid punycode, decodes to nothing, or to more than 63 code points.
bool DecodePunycode(const std::string& encoded, std::u32string* decoded);

// Code points as UTF-8; anything outside Unicode becomes U+FFFD.
std::string Utf8Of(const std::u32string& text);
