// The move to Bcc for any header bytes: refused, or every outside address of To and Cc read
// back from the end of the new Bcc, in order, and nothing else lost, added or repeated, as the
// hold decision's own walk reads the new texts. The input is one option byte, then the inner
// domains (comma-separated), To, Cc, Bcc and From, each ended by a newline.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "delay/bcc_move.h"
#include "delay/delay_mail.h"
#include "delay/recipient_class.h"
#include "support/address_list.h"
#include "support/string_list.h"

namespace {

void Check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// The address of each entry (empty when unreadable) and whether it is inside.
using SAddress = std::pair<std::string, bool>;
using Addresses = std::vector<SAddress>;

Addresses Walk(const std::string& text, const SDomainMatcher& matcher) {
    Addresses addresses;
    std::string copy = text;
    std::unique_ptr<char[]> address(new char[kAddressPartSize]);
    for (char* entry = NextAddress(&copy[0]); entry; entry = NextAddress(nullptr)) {
        entry += GroupLabelLength(entry);
        while (*entry > 0 && *entry <= ' ')
            ++entry;
        if (*entry == '\0')
            continue; // a group's label alone
        const char* domain = PlainAddressDomain(entry, address.get());
        addresses.push_back({domain ? address.get() : "", domain && matcher.IsInnerDomain(domain)});
    }
    return addresses;
}

Addresses Side(const Addresses& addresses, bool inside) {
    Addresses side;
    for (const SAddress& address : addresses) {
        if (address.second == inside)
            side.push_back(address);
    }
    return side;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 4 * 65536)
        return 0;
    const uint8_t flags = data[0];
    std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    input = input.c_str(); // up to the first NUL, as headers arrive
    std::vector<std::string> parts;
    for (size_t start = 0; parts.size() < 5;) {
        const size_t end = input.find('\n', start);
        parts.push_back(input.substr(start, end - start));
        start = end == std::string::npos ? input.size() : end + 1;
    }
    SStringList domains;
    domains.AppendCommaSeparated(parts[0].c_str());
    SDomainMatcher matcher(&domains, (flags >> 3) & 1);
    SBccMoveInput in;
    in.to = parts[1].c_str();
    in.cc = parts[2].c_str();
    in.bcc = parts[3].c_str();
    in.from = parts[4].c_str();
    in.toCut = flags & 1;
    in.ccCut = flags & 2;
    in.bccCut = flags & 4;
    // A small buffer makes the limits reachable.
    in.bufferSize = (flags & 0x10) ? 16 + (flags >> 5) * 24 : kHeaderBufferSize;
    const SBccMove move = MoveOutsideToBcc(in, matcher);

    const Addresses to = Walk(parts[1], matcher);
    const Addresses cc = Walk(parts[2], matcher);
    const Addresses bcc = Walk(parts[3], matcher);
    bool unreadable = false;
    for (const Addresses* header : {&to, &cc, &bcc}) {
        for (const SAddress& address : *header)
            unreadable = unreadable || address.first.empty();
    }
    Addresses outside = Side(to, false);
    for (const SAddress& address : Side(cc, false))
        outside.push_back(address);
    Check(OffersBccMove(in.to, in.cc, matcher, 1) == !outside.empty());

    if (move.outcome != EBccMoveOutcome::Moved) {
        Check(move.to.empty() && move.cc.empty() && move.bcc.empty());
        Check((move.outcome == EBccMoveOutcome::UnreadableRecipient) == unreadable ||
              move.outcome == EBccMoveOutcome::HeaderCut);
        Check(move.outcome != EBccMoveOutcome::NothingToMove || outside.empty());
        return 0;
    }
    Check((flags & 7) == 0 && !unreadable && !outside.empty());
    Check(move.moved == static_cast<int>(outside.size()));
    for (const std::string* text : {&move.to, &move.cc, &move.bcc})
        Check(text->size() + 1 < in.bufferSize);

    // Inside ones stay in order; To left without one holds the sender alone.
    const Addresses newTo = Walk(move.to, matcher);
    const Addresses from = Walk(parts[4], matcher);
    if (Side(to, true).empty())
        Check(newTo.size() == 1 && !from.empty() && !from[0].first.empty() &&
              newTo[0].first == from[0].first);
    else
        Check(newTo == Side(to, true));
    Check(Walk(move.cc, matcher) == Side(cc, true));
    Addresses expected = bcc;
    expected.insert(expected.end(), outside.begin(), outside.end());
    Check(Walk(move.bcc, matcher) == expected);
    return 0;
}
