// Texts of the confirmation's warnings and log lines, and of the domain history's log lines.
// Win32-free.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct SConfirmWarning;
struct SConfirmRow;
class SConfirmModel;

// Bytes of the subject and the sender that the dialog shows.
const size_t kShownTextBytes = 512;

// '&' doubled, so that a button's caption shows it instead of underlining the next character.
std::string ButtonText(const std::string& text);
// A warning's check box text.
std::string WarningText(const SConfirmWarning& warning);

// What a marked row says: 「example.co.jp に似ています」, or the word the subject holds.
std::string AttentionText(const SConfirmRow& row);
// One log line per warning shown: its kind and the domain it resembled; never the body.
std::vector<std::string> WarningLogLines(const SConfirmModel& model);

std::string ConfirmShownLogText(const std::string& subject, int insideCount, int outsideCount,
                                int warningCount);
std::string ConfirmSentLogText(const std::string& subject, int insideCount, int outsideCount,
                               int warningsTicked);
// Why the dialog ended without a send.
enum class EConfirmEnd { ByUser, PluginEnded, WindowGone, NoDialog, RecipientsChanged };
std::string ConfirmCancelledLogText(const std::string& subject, EConfirmEnd why);

// The domain history's log lines, each naming its file.
enum class EHistoryEvent {
    KeptChanging, // rewritten by another client at every read
    Unreadable,
    NotOurs, // and it could not be set aside
    SetAside,
    EmptyRemoved,
    BrokenRemoved,
    NotWritten,
    WrittenAgain
};
std::string DomainHistoryLogText(EHistoryEvent event, const std::string& path);
