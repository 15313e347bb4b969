// The one message box at start that names held mail a previous run never sent.
#pragma once

#include <string>
#include <vector>

#include "journal/journal_record.h"

extern const char kLostMailCaption[];
const size_t kLostMailListed = 10;

// The box's text: what happened, what to do, then one bounded line per message (at most
// kLostMailListed, the rest counted). Control characters in the texts become spaces.
std::string LostMailNoticeText(const std::vector<SLostMail>& lost);

#ifdef _WIN32
#include <windows.h>
// Nothing is shown for an empty list.
void ShowLostMailNotice(HWND owner, const std::vector<SLostMail>& lost);
#endif
