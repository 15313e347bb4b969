// What makes a send worth a look before anything else: a recipient domain that resembles a
// known one, and a word of the subject that must not go outside. Win32-free.
#pragma once

#include <vector>

struct SConfirmRow;
class SConfirmModel;
class SStringList;
class SDomainHistory;

// Marks each outside row whose domain is neither inner nor in the history but resembles an
// inner one, one in the history, or another recipient's domain of this message.
void MarkLookalikes(std::vector<SConfirmRow>* rows, const SStringList* innerDomains,
                    const SDomainHistory* history);

// When every To and Cc row is inside: marks each plain outside Bcc row, which those recipients
// will never know of.
void MarkBccOnlyOutside(std::vector<SConfirmRow>* rows);

// When any row is outside: one row to tick for each word of the comma list in the subject.
void AddKeywordRows(std::vector<SConfirmRow>* rows, const char* subject, const char* keywords);

// Under Confirm=3: whether some row or warning needs the user.
bool NeedsAttention(const SConfirmModel& model);
