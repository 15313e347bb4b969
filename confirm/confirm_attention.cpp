#include "confirm/confirm_attention.h"

#include <map>
#include <string>

#include "confirm/confirm_rows.h"
#include "confirm/domain_history.h"
#include "confirm/outside_keywords.h"
#include "lookalike/lookalike_index.h"
#include "support/string_list.h"

namespace {

// Indexing a full history costs several times a whole message's check: the index of the inner
// and history domains is kept until either changes. Only the host's UI thread comes here.
struct SKnownIndex {
    bool built = false;
    const SDomainHistory* history = nullptr;
    unsigned long stamp = 0;
    std::string inner;
    SLookalikeIndex index;
};

const SLookalikeIndex& KnownIndex(const SStringList* innerDomains, const SDomainHistory* history) {
    static SKnownIndex known;
    std::string inner;
    for (const SStringNode* node = innerDomains ? innerDomains->first : nullptr; node;
         node = node->next)
        inner += std::string(node->text ? node->text : "") + '\n';
    const unsigned long stamp = history ? history->Stamp() : 0;
    if (known.built && known.history == history && known.stamp == stamp && known.inner == inner)
        return known.index;
    known.index = SLookalikeIndex();
    for (const SStringNode* node = innerDomains ? innerDomains->first : nullptr; node;
         node = node->next)
        known.index.Add(node->text ? node->text : "", kKnownInner);
    if (history) {
        for (const std::string& domain : history->Domains())
            known.index.Add(domain, kKnownHistory);
    }
    known.index.Seal();
    known.built = true;
    known.history = history;
    known.stamp = stamp;
    known.inner = inner;
    return known.index;
}

// A mark that names the domain it resembles says so; the two that name none say what was seen.
ERowKind RowKindOfLookalike(ELookalikeKind kind) {
    switch (kind) {
    case kLookNone:
        return ERowKind::Recipient;
    case kLookSlip:
    case kLookSuffix:
    case kLookVisual:
    case kLookEmbedded:
    case kLookIdn:
        return ERowKind::Lookalike;
    case kLookMixedScript:
        return ERowKind::MixedScript;
    case kLookBadIdn:
        return ERowKind::UnreadableIdn;
    }
    return ERowKind::Recipient;
}

} // namespace

void MarkLookalikes(std::vector<SConfirmRow>* rows, const SStringList* innerDomains,
                    const SDomainHistory* history) {
    // Most sends go only to domains mail has left for: then there is nothing to index.
    std::map<std::string, SLookalike> unknown;
    for (const SConfirmRow& row : *rows) {
        if (row.outside && !row.domain.empty() && !(history && history->Knows(row.domain)))
            unknown.emplace(row.domain, SLookalike());
    }
    if (unknown.empty())
        return;
    const SLookalikeIndex& known = KnownIndex(innerDomains, history);
    // The message's own domains are resembled too, but only for this send.
    SLookalikeIndex message;
    for (const SConfirmRow& row : *rows) {
        if (!row.domain.empty())
            message.Add(row.domain, kKnownInMessage);
    }
    message.Seal();
    for (auto& entry : unknown) {
        if (known.IsTrusted(entry.first))
            continue;
        entry.second = known.Check(entry.first);
        if (entry.second.kind == kLookNone)
            entry.second = message.Check(entry.first);
    }
    for (SConfirmRow& row : *rows) {
        auto found = row.outside ? unknown.find(row.domain) : unknown.end();
        if (found == unknown.end() || found->second.kind == kLookNone)
            continue;
        row.kind = RowKindOfLookalike(found->second.kind);
        row.resembles = found->second.resembles;
        row.decoded = found->second.decoded;
        row.insideTickable = false;
    }
}

void AddKeywordRows(std::vector<SConfirmRow>* rows, const char* subject, const char* keywords) {
    bool outside = false;
    for (const SConfirmRow& row : *rows)
        outside = outside || row.outside;
    if (!outside)
        return;
    for (const std::string& word : KeywordsInSubject(subject, keywords)) {
        SConfirmRow row;
        row.field = kFieldSubject;
        row.kind = ERowKind::Keyword;
        row.entry = DisplayText(word.c_str(), kRowEntryBytes);
        rows->push_back(std::move(row));
    }
}

bool NeedsAttention(const SConfirmModel& model) {
    if (!model.warnings.empty())
        return true;
    for (const SConfirmRow& row : model.rows) {
        if (RowKindOf(row.kind).marked || row.malformed || row.substringOnly || row.newDomain)
            return true;
    }
    return false;
}
