// Words that must not leave the organisation, looked for in a subject. Win32-free.
//
// Matching is by character of the Japanese code page, never across a double-byte boundary:
// letter case, full or half width of ASCII letters, digits and katakana, hiragana or katakana,
// and blanks (half or full width) do not count. A subject holding encoded words (=?...?=) is
// looked at both as written and decoded, so a decode never loses what the raw text showed.
#pragma once

#include <string>
#include <vector>

// Subject bytes looked at; a longer subject is searched in its first part.
const size_t kKeywordSubjectBytes = 4096;

// The words of the list (as SplitList reads it) that the subject holds, as written in the list
// and in the list's order, each once.
std::vector<std::string> KeywordsInSubject(const char* subject, const char* list);
