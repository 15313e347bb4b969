#include "tools/standin/random_model.h"

#include <windows.h>

#include <cstdio>

#include "tools/standin/compose_window.h"

namespace {

std::string Format(const char* format, int id, const std::string& text = std::string()) {
    char line[256];
    snprintf(line, sizeof(line), format, id, text.c_str());
    return line;
}

bool Allowed(const std::string& codes, const std::string& status) {
    std::string list = "|" + codes + "|";
    return list.find("|" + status + "|") != std::string::npos;
}

bool Visible(const ModelMessage& message) {
    return message.window && message.window->IsAlive() && IsWindowVisible(message.window->Handle());
}

std::string CheckDelivery(UseModel& model, const Delivery& delivery) {
    ModelMessage* message = model.Find(delivery.id);
    if (!message)
        return Format("unknown-mail: a message nobody sent went out (m%d)", delivery.id);
    if (message->state == kDelivered)
        return Format("twice: m%d was delivered a second time", delivery.id);
    if (message->expect == kNothing)
        return message->state == kHeld
                   ? Format("early: m%d went out while it should still be held", delivery.id)
                   : Format("unexpected: m%d went out though the user did not send it",
                            delivery.id);
    if (!Allowed(message->codes, delivery.status))
        return Format("status: m%d went out with X-VelmoraStatus \"%s\"", delivery.id,
                      delivery.status);
    message->state = kDelivered;
    message->expect = kNothing;
    return std::string();
}

std::string CheckOutcome(ModelMessage& message) {
    if (message.expect == kDeliver) {
        std::string codes = "\"" + message.codes + "\"";
        for (size_t bar; (bar = codes.find('|')) != std::string::npos;)
            codes.replace(bar, 1, "\" or \"");
        return Format("not-released: m%d should have gone out (status %s) but did not", message.id,
                      codes);
    }
    if (message.expect == kDeliverOrBack) {
        if (!Visible(message))
            return Format("lost: m%d neither went out nor came back into a visible window",
                          message.id);
        message.state = kComposing;
        message.shown = false;
    }
    message.expect = kNothing;
    return std::string();
}

std::string CheckWindow(const ModelMessage& message) {
    bool alive = message.window && message.window->IsAlive();
    switch (message.state) {
    case kComposing:
        return Visible(message)
                   ? std::string()
                   : Format("window: m%d should be back in a visible window", message.id);
    case kHeld:
        if (!alive)
            return Format("window: held m%d lost its window", message.id);
        if (!message.shown && IsWindowVisible(message.window->Handle()))
            return Format("held-visible: held m%d is shown", message.id);
        return std::string();
    case kDelivered:
    case kGone:
        return alive ? Format("window: m%d's window is still open after it left", message.id)
                     : std::string();
    default:
        return std::string();
    }
}

} // namespace

ModelMessage& UseModel::Add(int id, int box, char recipients, ComposeWindow* window) {
    ModelMessage& message = messages[id];
    message.id = id;
    message.box = box;
    message.recipients = recipients;
    message.window = window;
    return message;
}

ModelMessage* UseModel::Find(int id) {
    std::map<int, ModelMessage>::iterator found = messages.find(id);
    return found == messages.end() ? nullptr : &found->second;
}

std::vector<ModelMessage*> UseModel::InState(MessageState state, int box) {
    std::vector<ModelMessage*> found;
    for (auto& entry : messages)
        if (entry.second.state == state && (box == 0 || entry.second.box == box))
            found.push_back(&entry.second);
    return found;
}

namespace {

bool HasOuter(char recipients, const ModelSettings& settings) {
    return recipients == 'o' || recipients == 'm' || (recipients == 'c' && !settings.corpInner);
}

} // namespace

int UseModel::HoldMinutes(char recipients) const {
    return HasOuter(recipients, settings) ? settings.outerMinutes : settings.innerMinutes;
}

bool UseModel::NeedsConfirm(char recipients) const {
    return settings.confirm == 2 || (settings.confirm == 1 && HasOuter(recipients, settings));
}

void UseModel::Sent(ModelMessage& message, bool bypass) {
    int minutes = bypass ? 0 : HoldMinutes(message.recipients);
    bool wasHeld = message.state == kHeld;
    message.shown = false;
    if (minutes <= 0) {
        message.state = kComposing;
        // A held window shown again carries "1" until something clears it.
        Expect(message, kDeliver, wasHeld ? "|1" : "");
        return;
    }
    message.state = kHeld;
    message.heldAt = now;
    message.releaseAt = now + minutes * 60LL;
}

void UseModel::Tick(const std::set<int>& pausedBoxes) {
    for (auto& entry : messages) {
        ModelMessage& message = entry.second;
        if (pausedBoxes.count(message.box) || now <= message.releaseAt)
            continue;
        if (message.state == kHeld)
            Expect(message, kDeliver, "3");
        else if (message.state == kGhost)
            message.state = kGone;
    }
}

void UseModel::Expect(ModelMessage& message, Expectation what, const std::string& codes) {
    message.expect = what;
    message.codes = codes;
}

bool UseModel::AnyHeld() const {
    for (const auto& entry : messages)
        if (entry.second.state == kHeld)
            return true;
    return false;
}

bool UseModel::AnyGhost() const {
    for (const auto& entry : messages)
        if (entry.second.state == kGhost)
            return true;
    return false;
}

void UseModel::SweepGhosts(int box) {
    for (auto& entry : messages)
        if (entry.second.state == kGhost && (box == 0 || entry.second.box == box))
            entry.second.state = kGone;
}

std::string CheckModel(UseModel& model, const std::vector<Delivery>& newDeliveries) {
    std::string failure;
    for (const Delivery& delivery : newDeliveries)
        if (failure.empty())
            failure = CheckDelivery(model, delivery);
    for (auto& entry : model.Messages()) {
        std::string outcome = CheckOutcome(entry.second);
        if (failure.empty())
            failure = outcome;
    }
    for (auto& entry : model.Messages())
        if (failure.empty())
            failure = CheckWindow(entry.second);
    return failure;
}
