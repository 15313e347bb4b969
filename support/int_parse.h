#pragma once

#include <cstdint>

// Integer with the base taken from its prefix, as strtol with base 0: blanks,
// sign, then 0x/0X hexadecimal, a leading 0 octal, otherwise decimal; stops
// at the first other character, 0 without digits. A leading 0 followed by an 8 or
// a 9 reads as decimal ("09" is 9). Saturates at the 32-bit limits instead of
// overflowing.
int32_t ParsePrefixedInt(const char* text);
// True when a digit follows the blanks and the sign: the text holds a number at all.
bool StartsWithDigit(const char* text);

// Decimal integer as atoi: blanks, sign, digits; 0 without digits.
// Saturates at the 32-bit limits.
int32_t ParseDecimalInt(const char* text);

// As ParseDecimalInt for text a user typed: full-width digits, signs and blanks (code page
// 932, as an input method gives them) count as the ASCII ones.
int32_t ParseEnteredInt(const char* text);

// A hold time the user typed: true and the minutes when, after blanks and an optional plus
// sign, a digit comes (ParseEnteredInt's rules, so "5分" is 5); false for an empty text, a
// negative number or text that is no number.
bool ParseEnteredMinutes(const char* text, int32_t* minutes);
