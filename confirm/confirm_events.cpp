#include "confirm/confirm_events.h"

#include <algorithm>
#include <set>

#include "confirm/confirm_kinds.h"
#include "confirm/confirm_rows.h"
#include "journal/event_log.h"

SOutsideRecipients ConfirmOutside(const SConfirmModel& model) {
    SOutsideRecipients outside;
    outside.count = model.outsideCount;
    std::set<std::string> domains;
    for (const SConfirmRow& row : model.rows) {
        if (row.outside && !row.domain.empty())
            domains.insert(row.domain);
    }
    outside.domains.assign(domains.begin(), domains.end());
    return outside;
}

std::vector<std::string> WarnedKinds(const SConfirmModel& model) {
    std::vector<std::string> kinds;
    for (const SConfirmRow& row : model.rows) {
        const char* kind = RowKindOf(row.kind).warned;
        if (kind && std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
            kinds.push_back(kind);
    }
    return kinds;
}

void LogConfirmEnd(const SConfirmModel& model, bool sent) {
    if (!sent) {
        if (EventWanted(EEventId::ConfirmCancelled))
            LogEvent(EEventId::ConfirmCancelled,
                     DecisionEventText(EEventId::ConfirmCancelled, ConfirmOutside(model)));
        return;
    }
    const std::vector<std::string> kinds = WarnedKinds(model);
    if (!kinds.empty() && EventWanted(EEventId::SentDespiteWarning))
        LogEvent(EEventId::SentDespiteWarning, WarnedSendEventText(kinds, ConfirmOutside(model)));
}
