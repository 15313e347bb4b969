#include "delay/delay_logic.h"

#include <cstring>
#include <memory>

#include "delay/delay_sender.h"
#include "delay/velmora_logic.h"

SDelayLogic::SDelayLogic(VelmoraLogic* logic)
    : logic(logic), hostApi(logic->HostApi()), settings(logic->settings) {}

SDelayLogic::~SDelayLogic() {
    while (!senders.empty()) {
        SDelaySenderLogic* sender = senders.front();
        senders.erase(senders.begin());
        delete sender;
    }
}

SDelaySenderLogic* SDelayLogic::FindSender(const char* mailboxPath) const {
    if (!mailboxPath)
        return nullptr;
    for (SDelaySenderLogic* sender : senders) {
        if (strcmp(sender->mailboxPath.c_str(), mailboxPath) == 0)
            return sender;
    }
    return nullptr;
}

bool SDelayLogic::Hold(const char* mailboxPath, HWND window) {
    // A second send of a window that is already held must not make a second record:
    // each record is released once, and the message would go out twice.
    for (SDelaySenderLogic* holder : senders) {
        if (holder->IsHeld(window))
            return true;
    }
    SDelaySenderLogic* sender = FindSender(mailboxPath);
    if (!sender) {
        std::unique_ptr<SDelaySenderLogic> created(new SDelaySenderLogic(logic, mailboxPath));
        senders.push_back(created.get());
        sender = created.release();
    }
    return sender->Hold(window);
}

bool SDelayLogic::ReleaseAll() {
    for (SDelaySenderLogic* sender : senders)
        sender->ReleaseAll();
    return true;
}

bool SDelayLogic::ReleaseDue() {
    bool all = true;
    for (SDelaySenderLogic* sender : senders)
        all = sender->ReleaseDue() && all;
    return all;
}

void SDelayLogic::ForgetWindow(HWND window) {
    for (SDelaySenderLogic* sender : senders)
        sender->Forget(window);
}
