// What the user of the random-use run should observe, kept beside the real plug-in: which
// messages were sent, which are held until when, which are back in their windows. It knows the
// user-visible rules only (outer mail held for the outer time, release at the first minute tick
// after it, status codes), nothing of how the plug-in keeps its records.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

class ComposeWindow;

enum MessageState {
    kComposing, // in a visible window, not sent
    kHeld,      // sent and held: its window hidden unless the client showed it again
    kGhost,     // its window was destroyed while held: it may still be listed until swept
    kGone,      // its window closed unsent
    kDelivered,
};

// What must have happened to a message by the end of the current operation.
enum Expectation { kNothing, kDeliver, kDeliverOrBack };

struct ModelMessage {
    int id = 0;
    int box = 1;
    char recipients = 'o'; // i inner, o outer, m mixed, c corp.example
    MessageState state = kComposing;
    bool shown = false; // held, but the client showed its window again
    long long heldAt = 0;
    long long releaseAt = 0; // due once the clock is strictly later
    Expectation expect = kNothing;
    std::string codes; // allowed X-VelmoraStatus values when delivered, '|' separated
    ComposeWindow* window = nullptr;
};

struct ModelSettings {
    int innerMinutes = 0;
    int outerMinutes = 2;
    bool corpInner = false; // corp.example among the inner domains
    int confirm = 1;        // [Option] Confirm: 0 never, 1 with an outside recipient, 2 always
};

class UseModel {
  public:
    ModelMessage& Add(int id, int box, char recipients, ComposeWindow* window);
    ModelMessage* Find(int id);
    std::vector<ModelMessage*> InState(MessageState state, int box = 0);
    std::map<int, ModelMessage>& Messages() { return messages; }

    // Minutes a message sent now is held for (0: goes at once).
    int HoldMinutes(char recipients) const;
    // Whether a send by the user is looked at before it goes.
    bool NeedsConfirm(char recipients) const;
    // The user sends: held from now, or expected out at once with no status.
    void Sent(ModelMessage& message, bool bypass);
    // A minute tick at the current time: what is due in the boxes not paused goes with code 3.
    void Tick(const std::set<int>& pausedBoxes);
    void Expect(ModelMessage& message, Expectation what, const std::string& codes);
    bool AnyHeld() const;
    bool AnyGhost() const;
    void SweepGhosts(int box = 0);

    long long now = 0; // seconds since the run's start on the virtual clock
    ModelSettings settings;

  private:
    std::map<int, ModelMessage> messages;
};

// One sent file of the outbox as the checks need it.
struct Delivery {
    int id;
    std::string status;
};

// The invariants after an operation; the first broken one as "key: text", "" when all hold.
std::string CheckModel(UseModel& model, const std::vector<Delivery>& newDeliveries);
