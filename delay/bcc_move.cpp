#include "delay/bcc_move.h"

#include <cstring>
#include <initializer_list>
#include <memory>
#include <set>
#include <vector>

#include "delay/recipient_class.h"
#include "support/address_list.h"
#include "support/mbcs.h"

namespace {

bool IsWalkBlank(unsigned char c) {
    return c >= 0x01 && c <= 0x20;
}

struct SMember {
    std::string text;   // as written, without a group label
    std::string domain; // lower case; empty when unreadable
    bool outside = false;
};

// One entry outside any group, or one group with its label.
struct SItem {
    std::string label; // "Name:", empty for a lone entry
    std::vector<SMember> members;
};

struct SHeader {
    std::vector<SItem> items;
    int inside = 0;
    int outside = 0; // unreadable ones too
    bool unreadable = false;
};

// The walk of the hold decision, with the separator after each entry read back from the text:
// the ';' that ends a group is gone from the entries themselves.
SHeader ReadHeader(const char* text, const SDomainMatcher& matcher) {
    SHeader header;
    if (text == nullptr || *text == '\0')
        return header;
    const size_t size = std::strlen(text);
    std::string copy(text, size);
    std::unique_ptr<char[]> address(new char[kAddressPartSize]);
    bool inGroup = false;
    for (char* entry = NextAddress(&copy[0]); entry; entry = NextAddress(nullptr)) {
        // The walk only cut blanks between the entry and its separator.
        size_t end = static_cast<size_t>(entry - copy.data()) + std::strlen(entry);
        while (end < size && IsWalkBlank(static_cast<unsigned char>(text[end])))
            ++end;
        const size_t label = GroupLabelLength(entry);
        if (label > 0) {
            header.items.emplace_back();
            header.items.back().label.assign(entry, label);
            inGroup = true;
        }
        const char* rest = entry + label;
        while (IsWalkBlank(static_cast<unsigned char>(*rest)))
            ++rest;
        if (*rest != '\0') {
            if (!inGroup)
                header.items.emplace_back();
            SMember member;
            member.text = rest;
            const char* domain = PlainAddressDomain(rest, address.get());
            member.outside = !domain || !matcher.IsInnerDomain(domain);
            if (domain)
                member.domain = LowerCaseDomain(domain);
            header.unreadable = header.unreadable || !domain;
            ++(member.outside ? header.outside : header.inside);
            header.items.back().members.push_back(std::move(member));
        }
        if (end < size && text[end] == ';')
            inGroup = false;
    }
    return header;
}

void Add(std::string* list, const std::string& piece, const char* joiner = ", ") {
    if (!list->empty())
        *list += list->back() == ';' ? " " : joiner;
    *list += piece;
}

// The members of one side of an item, joined as the walk reads them back.
std::string Members(const SItem& item, bool outside) {
    std::string joined;
    for (const SMember& member : item.members) {
        if (member.outside == outside)
            Add(&joined, member.text);
    }
    return joined;
}

// Splits a header's items into what stays and what goes to Bcc.
void Split(const SHeader& header, std::string* kept, std::string* moved) {
    for (const SItem& item : header.items) {
        const std::string inside = Members(item, false);
        const std::string outside = Members(item, true);
        if (item.label.empty()) {
            Add(inside.empty() ? moved : kept, inside.empty() ? outside : inside);
        } else if (inside.empty() && !outside.empty()) {
            Add(moved, item.label + " " + outside + ";");
        } else {
            // The label stays with the inside members; a group that never had any stays as is.
            Add(kept, item.label + (inside.empty() ? "" : " " + inside) + ";");
            if (!outside.empty())
                Add(moved, outside);
        }
    }
}

// The bare address of From's first entry, or empty.
std::string SenderAddress(const char* from) {
    if (from == nullptr)
        return std::string();
    std::string copy(from);
    std::string sender;
    if (const char* entry = NextAddress(&copy[0])) {
        entry += GroupLabelLength(entry);
        std::unique_ptr<char[]> address(new char[kAddressPartSize]);
        // An address whose local part reads as a group label ("a:b@x") would not read back as
        // itself in To.
        if (PlainAddressDomain(entry, address.get()) && GroupLabelLength(address.get()) == 0)
            sender = address.get();
    }
    // The walk must not be left pointing into this copy.
    while (NextAddress(nullptr)) {
    }
    return sender;
}

// Bcc as written, without the commas and blanks it ends in; the moved entries follow.
std::string BccWithMoved(const char* bcc, const SHeader& header, const std::string& moved) {
    std::string text(bcc ? bcc : "");
    while (!text.empty() &&
           (IsWalkBlank(static_cast<unsigned char>(text.back())) || text.back() == ','))
        text.pop_back();
    // A group left open at its end must not take the moved entries in.
    Add(&text, moved, !header.items.empty() && !header.items.back().label.empty() ? "; " : ", ");
    return text;
}

} // namespace

size_t GroupLabelLength(const char* entry) {
    bool quoted = false;
    bool named = false;
    int depth = 0;
    for (const char* p = entry; *p != '\0';) {
        if (IsBrokenLead(p))
            return 0;
        const size_t n = CharLength(p);
        const char c = *p;
        if (c == '\\' && (quoted || depth > 0)) {
            p += 1 + (p[1] != '\0' ? CharLength(p + 1) : 0);
            continue;
        }
        if (depth > 0) {
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        } else if (quoted) {
            quoted = c != '"';
        } else if (c == '"') {
            quoted = named = true;
        } else if (c == '(') {
            depth = 1;
        } else if (c == '@' || c == '<' || c == '>') {
            return 0;
        } else if (c == ':') {
            return named ? static_cast<size_t>(p - entry) + 1 : 0;
        } else if (!IsWalkBlank(static_cast<unsigned char>(c))) {
            named = true;
        }
        p += n;
    }
    return 0;
}

SBccMove MoveOutsideToBcc(const SBccMoveInput& input, const SDomainMatcher& matcher) {
    SBccMove move;
    const char* texts[3] = {input.to, input.cc, input.bcc};
    const bool cut[3] = {input.toCut, input.ccCut, input.bccCut};
    for (int i = 0; i < 3; ++i) {
        // A text that fills the buffer may have lost its end without the host saying so.
        if (cut[i] || (texts[i] ? std::strlen(texts[i]) : 0) + 1 >= input.bufferSize) {
            move.outcome = EBccMoveOutcome::HeaderCut;
            return move;
        }
    }
    SHeader headers[3];
    for (int i = 0; i < 3; ++i) {
        headers[i] = ReadHeader(texts[i], matcher);
        if (headers[i].unreadable) {
            move.outcome = EBccMoveOutcome::UnreadableRecipient;
            return move;
        }
    }
    if (headers[0].outside + headers[1].outside == 0) {
        move.outcome = EBccMoveOutcome::NothingToMove;
        return move;
    }

    std::string kept[2];
    std::string moved;
    for (int i = 0; i < 2; ++i) {
        // A header nothing leaves stays as the user wrote it.
        if (headers[i].outside == 0)
            kept[i] = texts[i] ? texts[i] : "";
        else
            Split(headers[i], &kept[i], &moved);
    }
    if (headers[0].inside == 0) {
        kept[0] = SenderAddress(input.from);
        if (kept[0].empty()) {
            move.outcome = EBccMoveOutcome::NoSender;
            return move;
        }
    }
    std::string bcc = BccWithMoved(input.bcc, headers[2], moved);
    for (const std::string* text : {&kept[0], &kept[1], &bcc}) {
        if (text->size() + 1 >= input.bufferSize) {
            move.outcome = EBccMoveOutcome::NoRoom;
            return move;
        }
    }
    move.outcome = EBccMoveOutcome::Moved;
    move.to = std::move(kept[0]);
    move.cc = std::move(kept[1]);
    move.bcc = std::move(bcc);
    move.moved = headers[0].outside + headers[1].outside;
    return move;
}

bool OffersBccMove(const char* to, const char* cc, const SDomainMatcher& matcher,
                   int bccWarnCount) {
    int outside = 0;
    std::set<std::string> domains;
    for (const char* text : {to, cc}) {
        const SHeader header = ReadHeader(text, matcher);
        outside += header.outside;
        for (const SItem& item : header.items) {
            for (const SMember& member : item.members) {
                if (member.outside && !member.domain.empty())
                    domains.insert(member.domain);
            }
        }
    }
    return domains.size() >= 2 || (bccWarnCount > 0 && outside >= bccWarnCount);
}
