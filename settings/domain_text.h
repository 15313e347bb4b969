// Inner domains as people type them: blanks around an entry are noise, blanks inside one are a
// mistake, and "@example.co.jp" means example.co.jp. Win32-free.
#pragma once

#include <string>

class SStringList;

enum class EDomainCheck { Ok, Empty, BlankInside };

// The text without blanks (space, tab, full-width space) at either end.
std::string TrimBlanks(const char* text);
// What the domain entry dialog accepts: trimmed, one leading @ dropped, no blank inside.
EDomainCheck NormalizeDomain(const char* text, std::string* domain);
// One entry per entry of the list (SplitList), each read as the entry dialog reads it; one that
// reads as empty is skipped.
void AppendTrimmedDomains(SStringList* list, const char* text);
