// Prints every event of the Windows Event Log from the code's table, with an example of its
// text made by the functions that make it, one line per line of text: id|level|sentence|example.
// The guide's catalogue of events is this output; its check compares the two.
#include <cstdio>
#include <string>
#include <vector>

#include "journal/event_table.h"
#include "journal/hold_log_text.h"
#include "settings/ini_text.h"
#include "settings/setting_merge.h"

namespace {

const char kSettings[] = "C:\\Users\\tarou\\AppData\\Roaming\\Tarnwyk\\Velmora\\Velmora.ini";

SLostMail Lost(int minute) {
    SLostMail mail;
    mail.heldAt = {2026, 12, 1, 7, 10, static_cast<unsigned short>(minute), 0, 0};
    mail.dueAt = AddMinutes(mail.heldAt, 5);
    return mail;
}

// The start's first line of the keys, with a value an administrator's policy set.
std::string FirstKeyLine() {
    SUserValue user[kKeyCount];
    SMergedValue merged[kKeyCount];
    SPolicy policy;
    policy.Set(EKeyId::InnerDomains,
               SPolicyValue{true, true, "example.co.jp", EValueSource::PolicyMachine});
    MergeSettings(user, policy, nullptr, merged);
    return MergeLogLines(user, policy, merged).front();
}

std::vector<std::string> Example(EEventId id) {
    SOutsideRecipients outside;
    outside.count = 2;
    outside.domains = {"example.com", "example.net"};
    switch (id) {
    case EEventId::Started:
        return {StartLogText("2.1.0.0", kSettings), FirstKeyLine()};
    case EEventId::Held:
        return {DecisionEventText(id, outside, 5)};
    case EEventId::SentInside:
        return {DecisionEventText(id, SOutsideRecipients())};
    case EEventId::SentZeroHold:
    case EEventId::SentCtrl:
    case EEventId::SentIdent:
    case EEventId::SentReleased:
    case EEventId::ReleasedByTimer:
    case EEventId::SentNowFromList:
    case EEventId::ReleasedAtExit:
    case EEventId::TakenBack:
    case EEventId::ClosedWhileHeld:
    case EEventId::ConfirmCancelled:
        return {DecisionEventText(id, outside)};
    case EEventId::SentDespiteWarning:
        return {WarnedSendEventText({"似たドメイン", "社外秘の語"}, outside)};
    case EEventId::SettingsUnreadable:
        return {UnreadableFileLogText(RefusalText(true, ETextEncoding::Utf16BeBom), kSettings)};
    case EEventId::PolicyUnreadable:
        return {RefusedPolicyFileLogText(LockedRefusalText(),
                                         "C:\\Program Files\\Mail\\plugins\\zVelmora.policy.ini")};
    case EEventId::LogNotOpened:
        return {LogNotOpenedEventText("C:\\Logs\\Velmora.log", 5)};
    case EEventId::MailLost:
        return LostMailEventLines({Lost(0), Lost(2)});
    case EEventId::SessionEnded:
        return {SessionEndedEventText(2)};
    }
    return {};
}

const char* LevelName(EEventLevel level) {
    switch (level) {
    case EEventLevel::Error:
        return "error";
    case EEventLevel::Warning:
        return "warning";
    case EEventLevel::Information:
        return "information";
    }
    return "";
}

} // namespace

int main() {
    size_t count = 0;
    const SEventRow* rows = EventTable(&count);
    for (size_t i = 0; i < count; ++i) {
        for (const std::string& example : Example(rows[i].id))
            std::printf("%u|%s|%s|%s\n", static_cast<unsigned>(rows[i].id),
                        LevelName(rows[i].level), rows[i].sentence, example.c_str());
    }
    return 0;
}
