// Moving the outside recipients of To and Cc to the end of Bcc, so that outside people mailed
// together do not see each other. Free of the platform: the caller writes the three new texts
// back through the host, all or none.
#pragma once

#include <cstddef>
#include <string>

class SDomainMatcher;

// Every road out of a move; all but Moved leave every header as it was.
enum class EBccMoveOutcome {
    Moved,
    HeaderCut,           // To, Cc or Bcc was longer than the host gave: its rest would be lost
    UnreadableRecipient, // an entry that is not one plain address: nobody knows where it belongs
    NoRoom,              // a new header would not fit the host's buffer (in practice the Bcc)
    NothingToMove,       // To and Cc hold no outside address
    NoSender,            // To would be left empty and From holds no address to put there
};

struct SBccMoveInput {
    const char* to = nullptr; // the raw header texts, any may be null
    const char* cc = nullptr;
    const char* bcc = nullptr;
    const char* from = nullptr;
    bool toCut = false; // the host said the header was longer than it gave
    bool ccCut = false;
    bool bccCut = false;
    // The host's buffer for one header: a text of bufferSize - 1 bytes fills it and counts as
    // cut, so a new text must stay shorter than that to be read back whole.
    size_t bufferSize = 0;
};

struct SBccMove {
    EBccMoveOutcome outcome = EBccMoveOutcome::NothingToMove;
    std::string to; // the new texts, set only when Moved
    std::string cc;
    std::string bcc;
    int moved = 0; // outside addresses moved
};

// An entry is outside unless it is one plain address (PlainAddressDomain) with an inner domain,
// as the hold decides. Outside entries move with their display names and comments, To's before
// Cc's, each header's in order; inside ones stay where they were. A group ("Name: a@x, b@y;")
// whose members all move goes whole, label and all; a mixed one keeps its label with its inside
// members. When To is left without an address it gets the bare address of From, so that no
// server sees an empty To.
SBccMove MoveOutsideToBcc(const SBccMoveInput& input, const SDomainMatcher& matcher);

// Whether the move is worth offering: To and Cc together hold outside addresses of two or more
// domains, or at least bccWarnCount outside entries (0 or less: that count never does).
bool OffersBccMove(const char* to, const char* cc, const SDomainMatcher& matcher, int bccWarnCount);

// Bytes of the group label ("Name:") an entry of the address walk starts with; 0 when it
// starts with none. A ':' in quotes or a comment, or after an '@', '<' or '>', is no label's.
size_t GroupLabelLength(const char* entry);
