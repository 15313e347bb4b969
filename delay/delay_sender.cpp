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

void SDelaySenderLogic::RemoveMail(int index) { mails.erase(mails.begin() + index); }

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
    mails.push_back(mail);
    // Stable, so that messages sent within the same millisecond keep their order.
    std::stable_sort(mails.begin(), mails.end(), [](const SDelayMail& a, const SDelayMail& b) {
        return CompareLocalTime(a.heldAt, b.heldAt) < 0;
    });
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
    size_t i = 0;
    while (i < mails.size()) {
        if (CompareLocalTime(now, mails[i].releaseAt) > 0) {
            HWND window = mails[i].composeWindow;
            RemoveMail(static_cast<int>(i));
            Release(window, kStatusReleasedByTimer);
        } else {
            ++i;
        }
    }
    return true;
}

const std::vector<SDelayMail>& SDelaySenderLogic::GetMails() const { return mails; }

int SDelaySenderLogic::GetCount() const { return static_cast<int>(mails.size()); }
