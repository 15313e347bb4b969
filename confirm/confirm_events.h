// What the Event Log is told of a confirmation's end: a cancel, or a send despite a look-alike
// domain or a confidential word, each with the outside recipients' number and domains.
#pragma once

#include <string>
#include <vector>

#include "journal/event_table.h"

class SConfirmModel;

SOutsideRecipients ConfirmOutside(const SConfirmModel& model);
// The kinds of the rows that made the send worth a warning event, in the rows' order, once each.
std::vector<std::string> WarnedKinds(const SConfirmModel& model);
// sent: the user pressed 送信; otherwise the user cancelled.
void LogConfirmEnd(const SConfirmModel& model, bool sent);
