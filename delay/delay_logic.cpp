#include "delay/delay_logic.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "delay/compose_manager.h"
#include "delay/delay_sender.h"

SDelayLogic::SDelayLogic(SHostApi* hostApi, SComposeManager* composeManager)
    : hostApi(hostApi), composeManager(composeManager) {
    if (composeManager)
        composeManager->SetBook(&book);
}

SDelayLogic::~SDelayLogic() {
    if (composeManager)
        composeManager->SetBook(nullptr);
    for (SHoldPause* pause : pauses)
        pause->queue = nullptr;
    // Held windows stay as they are and their records end with the book, unreported: a
    // message still held when the plug-in ends was not sent.
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
        if (strcmp(sender->MailboxPath().c_str(), mailboxPath) == 0)
            return sender;
    }
    return nullptr;
}

SDelaySenderLogic& SDelayLogic::SenderOf(const char* mailboxPath) {
    SDelaySenderLogic* sender = FindSender(mailboxPath);
    if (sender)
        return *sender;
    std::unique_ptr<SDelaySenderLogic> created(
        new SDelaySenderLogic(&book, hostApi, composeManager, mailboxPath));
    senders.push_back(created.get());
    return *created.release();
}

void SDelayLogic::Hold(const char* mailboxPath, HWND window, SDelayMail&& mail) {
    SenderOf(mailboxPath ? mailboxPath : "").Hold(window, std::move(mail));
}

void SDelayLogic::LetGo(HWND window) {
    // Any sender will do: the book finds the window's record in whichever mailbox holds it.
    if (!senders.empty())
        senders.front()->LetGo(window);
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

bool SDelayLogic::AnyHeld() const {
    return book.AnyHeld();
}

int SDelayLogic::HeldCount() const {
    int count = 0;
    for (const std::string& mailbox : book.Mailboxes())
        count += book.Count(mailbox);
    return count;
}

int SDelayLogic::HeldCount(const char* mailboxPath) const {
    return mailboxPath ? book.Count(mailboxPath) : 0;
}

std::vector<SDelayMail> SDelayLogic::ListHeld(const char* mailboxPath) const {
    if (!mailboxPath)
        return std::vector<SDelayMail>();
    return book.Mails(mailboxPath);
}

bool SDelayLogic::SendNow(const char* mailboxPath, HWND window) {
    SDelaySenderLogic* sender = FindSender(mailboxPath);
    return sender && sender->SendNow(window, kStatusSentNow);
}

void SDelayLogic::TakeBackAll() {
    for (SDelaySenderLogic* sender : senders) {
        std::vector<SDelayMail> held = sender->GetMails();
        for (const SDelayMail& mail : held)
            sender->TakeBack(static_cast<HWND>(mail.composeWindow));
    }
}

HWND SDelayLogic::TakeBack(const char* mailboxPath, HWND window) {
    SDelaySenderLogic* sender = FindSender(mailboxPath);
    return sender ? sender->TakeBack(window) : nullptr;
}

bool SDelayLogic::IsReleased(HWND window) const {
    return book.IsReleased(window);
}

bool SDelayLogic::IsPaused(const char* mailboxPath) const {
    return mailboxPath && book.IsPaused(mailboxPath);
}

SHoldPause::SHoldPause(SDelayLogic* queue, const char* mailboxPath)
    : queue(queue), mailboxPath(mailboxPath ? mailboxPath : "") {
    if (!queue)
        return;
    queue->pauses.push_back(this);
    queue->book.Pause(this->mailboxPath);
}

SHoldPause::~SHoldPause() {
    if (!queue)
        return;
    queue->book.Resume(mailboxPath);
    auto& list = queue->pauses;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}
