#include "delay/delay_sender.h"

#include <algorithm>
#include <cstdio>

#include "delay/clock.h"
#include "delay/compose_manager.h"
#include "delay/velmora_logic.h"
#include "host/host_api.h"

const char kStatusHeader[] = "X-VelmoraStatus";

SDelaySenderLogic::SDelaySenderLogic(VelmoraLogic* logic, const char* mailboxPath)
    : logic(logic), hostApi(logic->HostApi()), settings(logic->settings),
      composeManager(logic->composeManager), mailboxPath(mailboxPath ? mailboxPath : ""),
      paused(0) {}

SDelaySenderLogic::~SDelaySenderLogic() {}

int SDelaySenderLogic::FindMail(HWND window) const {
    for (size_t i = 0; i < mails.size(); ++i) {
        if (mails[i].composeWindow == window)
            return static_cast<int>(i);
    }
    return -1;
}

void SDelaySenderLogic::RemoveMail(int index) {
    mails.erase(mails.begin() + index);
}

void SDelaySenderLogic::SetStatus(HWND window, int status) {
    char text[16] = "";
    if (status != kStatusNone)
        snprintf(text, sizeof(text), "%d", status);
    hostApi->BKA_CompSetSpecifiedHeader(window, kStatusHeader, text);
}

bool SDelaySenderLogic::Hold(HWND window) {
    SDelayMail mail;
    if (!mail.Capture(window, logic))
        return false;
    // The list is always in order, so the new record goes after every one held at or before
    // its time: the same order a full stable sort would give, without touching the others.
    auto place = std::upper_bound(mails.begin(), mails.end(), mail,
                                  [](const SDelayMail& a, const SDelayMail& b) {
                                      return CompareLocalTime(a.heldAt, b.heldAt) < 0;
                                  });
    mails.insert(place, std::move(mail));
    SetStatus(window, kStatusHeld);
    ShowWindow(window, SW_HIDE);
    return true;
}

bool SDelaySenderLogic::Release(HWND window, int status) {
    if (composeManager) {
        SComposeWindow* hook = composeManager->FindComposeWindow(window);
        if (hook)
            hook->released = 1;
    }
    SetStatus(window, status);
    PostMessageA(window, WM_COMMAND, kComposeSendCommand, 0);
    return true;
}

bool SDelaySenderLogic::SendNow(HWND window, int status) {
    int index = FindMail(window);
    if (index < 0)
        return false;
    RemoveMail(index);
    Release(window, status);
    return true;
}

bool SDelaySenderLogic::ReleaseAll() {
    // Take the records first: a release must never run twice for one message.
    std::vector<SDelayMail> released;
    released.swap(mails);
    for (const SDelayMail& mail : released)
        Release(mail.composeWindow, kStatusReleasedAtExit);
    return true;
}

bool SDelaySenderLogic::ReleaseAllForEdit() {
    std::vector<SDelayMail> released;
    released.swap(mails);
    for (const SDelayMail& mail : released) {
        Release(mail.composeWindow, kStatusReleasedForEdit);
        ShowWindow(mail.composeWindow, SW_SHOW);
        PostMessageA(mail.composeWindow, WM_COMMAND, kComposeEditCommand, 0);
    }
    return true;
}

HWND SDelaySenderLogic::ReEdit(HWND window) {
    int index = FindMail(window);
    if (index < 0)
        return nullptr;
    SetStatus(window, kStatusNone);
    ShowWindow(window, SW_SHOW);
    SetFocus(window);
    RemoveMail(index);
    return window;
}

bool SDelaySenderLogic::Forget(HWND window) {
    int index = FindMail(window);
    if (index < 0)
        return false;
    RemoveMail(index);
    return true;
}

void SDelaySenderLogic::ShowReleasedWindows() {
    if (!composeManager)
        return;
    // Showing a window can run the host's code; walk a copy of the handles.
    std::vector<HWND> shown;
    for (SComposeWindow* hook : composeManager->windows) {
        if (hook->released)
            shown.push_back(hook->window);
    }
    for (HWND window : shown) {
        ShowWindow(window, SW_SHOW);
        SetFocus(window);
    }
}

bool SDelaySenderLogic::ReleaseDue() {
    ShowReleasedWindows();
    if (paused)
        return false;
    SYSTEMTIME now;
    GetCurrentLocalTime(&now);
    // Every record is tested: the list is ordered by sending time, not by release time.
    // Due records leave the list in one pass, before any of them is released.
    // Reserved first: once the list is partitioned, nothing may fail before the erase.
    std::vector<HWND> due;
    due.reserve(mails.size());
    auto kept = std::stable_partition(mails.begin(), mails.end(), [&](const SDelayMail& mail) {
        return CompareLocalTime(now, mail.releaseAt) <= 0;
    });
    for (auto it = kept; it != mails.end(); ++it)
        due.push_back(it->composeWindow);
    mails.erase(kept, mails.end());
    for (HWND window : due)
        Release(window, kStatusReleasedByTimer);
    return true;
}

const std::vector<SDelayMail>& SDelaySenderLogic::GetMails() const {
    return mails;
}

int SDelaySenderLogic::GetCount() const {
    return static_cast<int>(mails.size());
}
