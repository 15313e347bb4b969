#include "delay/hold_book.h"

#include <algorithm>
#include <iterator>

namespace {

const std::vector<SDelayMail> kNoMails;

} // namespace

SHoldBook::SHoldBook() : observer(nullptr) {}

SHoldBook::~SHoldBook() {
    for (SMailbox* box : mailboxes)
        delete box;
}

SHoldBook::SMailbox* SHoldBook::Find(const std::string& mailbox) {
    for (SMailbox* box : mailboxes) {
        if (box->key == mailbox)
            return box;
    }
    return nullptr;
}

const SHoldBook::SMailbox* SHoldBook::Find(const std::string& mailbox) const {
    return const_cast<SHoldBook*>(this)->Find(mailbox);
}

SHoldBook::SMailbox& SHoldBook::FindOrAdd(const std::string& mailbox) {
    SMailbox* box = Find(mailbox);
    if (box)
        return *box;
    box = new SMailbox{mailbox, {}, 0};
    try {
        mailboxes.push_back(box);
    } catch (...) {
        delete box;
        throw;
    }
    return *box;
}

bool SHoldBook::Locate(SWindowId window, SMailbox** box, size_t* index) {
    for (SMailbox* candidate : mailboxes) {
        for (size_t i = 0; i < candidate->mails.size(); ++i) {
            if (candidate->mails[i].composeWindow == window) {
                *box = candidate;
                *index = i;
                return true;
            }
        }
    }
    return false;
}

SDelayMail SHoldBook::Take(SMailbox* box, size_t index, EHoldRoad road) {
    SDelayMail mail(std::move(box->mails[index]));
    box->mails.erase(box->mails.begin() + index);
    if (observer)
        observer->OnLeft(box->key, mail, road);
    return mail;
}

bool SHoldBook::TakeOut(SWindowId window, EHoldRoad road) {
    SMailbox* box = nullptr;
    size_t index = 0;
    if (!Locate(window, &box, &index))
        return false;
    Take(box, index, road);
    return true;
}

void SHoldBook::MarkReleased(SWindowId window) {
    if (!IsReleased(window))
        released.push_back(window);
    if (std::find(passes.begin(), passes.end(), window) == passes.end())
        passes.push_back(window);
}

bool SHoldBook::UsePass(SWindowId window) {
    auto found = std::find(passes.begin(), passes.end(), window);
    if (found == passes.end())
        return false;
    passes.erase(found);
    return true;
}

bool SHoldBook::ReturnToUser(SWindowId window) {
    passes.erase(std::remove(passes.begin(), passes.end(), window), passes.end());
    auto found = std::find(released.begin(), released.end(), window);
    if (found == released.end())
        return false;
    released.erase(found);
    return true;
}

void SHoldBook::Hold(const std::string& mailbox, SDelayMail&& mail) {
    SMailbox& box = FindOrAdd(mailbox);
    // Room first: once the old record is gone, nothing may fail before the new one is in.
    box.mails.reserve(box.mails.size() + 1);
    Replace(mail.composeWindow);
    // A new message in a window released before: it is held, not released.
    ReturnToUser(mail.composeWindow);
    // After every record held at or before its time: the order a stable sort would give.
    auto place = std::upper_bound(box.mails.begin(), box.mails.end(), mail,
                                  [](const SDelayMail& a, const SDelayMail& b) {
                                      return CompareLocalTime(a.heldAt, b.heldAt) < 0;
                                  });
    auto stored = box.mails.insert(place, std::move(mail));
    if (observer)
        observer->OnHeld(box.key, *stored);
}

bool SHoldBook::Replace(SWindowId window) {
    return TakeOut(window, EHoldRoad::Replaced);
}

bool SHoldBook::SendNow(SWindowId window, int status) {
    // Room first: once the record is out, nothing may fail before the window is marked.
    released.reserve(released.size() + 1);
    passes.reserve(passes.size() + 1);
    if (!TakeOut(window, static_cast<EHoldRoad>(status)))
        return false;
    MarkReleased(window);
    return true;
}

std::vector<SRelease> SHoldBook::TakeMatching(SMailbox* box, int status,
                                              const SLocalTime* dueBefore) {
    std::vector<SRelease> out;
    if (!box)
        return out;
    // Every record is tested: the list is ordered by sending time, not by release time. The
    // leaving ones are moved out in one pass, before anything is reported.
    auto stays = [&](const SDelayMail& mail) {
        return dueBefore && CompareLocalTime(*dueBefore, mail.releaseAt) <= 0;
    };
    // Reserved first: once the list is partitioned, nothing may fail before every record that
    // left is marked released.
    out.reserve(box->mails.size());
    released.reserve(released.size() + box->mails.size());
    passes.reserve(passes.size() + box->mails.size());
    std::vector<SDelayMail> leaving;
    leaving.reserve(box->mails.size());
    auto kept = std::stable_partition(box->mails.begin(), box->mails.end(), stays);
    std::move(kept, box->mails.end(), std::back_inserter(leaving));
    box->mails.erase(kept, box->mails.end());
    for (const SDelayMail& mail : leaving) {
        // A held window is never among the released ones: no search needed.
        released.push_back(mail.composeWindow);
        passes.push_back(mail.composeWindow);
        out.push_back(SRelease{mail.composeWindow, status});
    }
    if (observer) {
        for (const SDelayMail& mail : leaving)
            observer->OnLeft(box->key, mail, static_cast<EHoldRoad>(status));
    }
    return out;
}

std::vector<SRelease> SHoldBook::ReleaseDue(const std::string& mailbox, const SLocalTime& now) {
    SMailbox* box = Find(mailbox);
    if (!box || box->pauses > 0)
        return std::vector<SRelease>();
    return TakeMatching(box, kStatusReleasedByTimer, &now);
}

std::vector<SRelease> SHoldBook::ReleaseAll(const std::string& mailbox, int status) {
    return TakeMatching(Find(mailbox), status, nullptr);
}

bool SHoldBook::TakeBack(SWindowId window) {
    return TakeOut(window, EHoldRoad::TakenBack);
}

bool SHoldBook::Forget(SWindowId window) {
    return TakeOut(window, EHoldRoad::Forgotten);
}

void SHoldBook::WindowGone(SWindowId window) {
    while (Forget(window)) {
    }
    ReturnToUser(window);
    if (observer)
        observer->OnWindowGone(window);
}

bool SHoldBook::IsHeld(SWindowId window) const {
    SMailbox* box = nullptr;
    size_t index = 0;
    return const_cast<SHoldBook*>(this)->Locate(window, &box, &index);
}

bool SHoldBook::IsReleased(SWindowId window) const {
    return std::find(released.begin(), released.end(), window) != released.end();
}

const std::vector<SDelayMail>& SHoldBook::Mails(const std::string& mailbox) const {
    const SMailbox* box = Find(mailbox);
    return box ? box->mails : kNoMails;
}

int SHoldBook::Count(const std::string& mailbox) const {
    return static_cast<int>(Mails(mailbox).size());
}

bool SHoldBook::AnyHeld() const {
    for (const SMailbox* box : mailboxes) {
        if (!box->mails.empty())
            return true;
    }
    return false;
}

std::vector<std::string> SHoldBook::Mailboxes() const {
    std::vector<std::string> keys;
    for (const SMailbox* box : mailboxes)
        keys.push_back(box->key);
    return keys;
}

void SHoldBook::Pause(const std::string& mailbox) {
    ++FindOrAdd(mailbox).pauses;
}

void SHoldBook::Resume(const std::string& mailbox) {
    SMailbox* box = Find(mailbox);
    if (box && box->pauses > 0)
        --box->pauses;
}

bool SHoldBook::IsPaused(const std::string& mailbox) const {
    const SMailbox* box = Find(mailbox);
    return box && box->pauses > 0;
}
