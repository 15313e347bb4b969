#include "delay/delay_sender.h"

#include <cstdio>

#include "delay/clock.h"
#include "delay/compose_headers.h"
#include "delay/compose_manager.h"
#include "host/host_api.h"

const char kStatusHeader[] = "X-VelmoraStatus";

SDelaySenderLogic::SDelaySenderLogic(SHoldBook* book, SHostApi* hostApi,
                                     SComposeManager* composeManager, const char* mailboxPath)
    : book(book), hostApi(hostApi), composeManager(composeManager),
      mailboxPath(mailboxPath ? mailboxPath : "") {}

bool SDelaySenderLogic::Owns(HWND window) const {
    for (const SDelayMail& mail : book->Mails(mailboxPath)) {
        if (mail.composeWindow == window)
            return true;
    }
    return false;
}

void SDelaySenderLogic::SetStatus(HWND window, int status) {
    char text[16] = "";
    if (status != kStatusNone)
        snprintf(text, sizeof(text), "%d", status);
    hostApi->BKA_CompSetSpecifiedHeader(window, kStatusHeader, text);
}

void SDelaySenderLogic::LetGo(HWND window) {
    // Sent again while still held, and now not to be held: the old record must not release it
    // a second time.
    if (book->Replace(window))
        SetStatus(window, kStatusNone);
}

void SDelaySenderLogic::Hold(HWND window, SDelayMail&& mail) {
    // The hook sees the window's end, so its state is never left behind for a reused handle.
    if (composeManager)
        composeManager->Register(window);
    book->Hold(mailboxPath, std::move(mail));
    SetStatus(window, kStatusHeld);
    ShowWindow(window, SW_HIDE);
}

bool SDelaySenderLogic::Release(HWND window, int status) {
    SetStatus(window, status);
    PostMessageA(window, WM_COMMAND, kComposeSendCommand, 0);
    return true;
}

bool SDelaySenderLogic::SendNow(HWND window, int status) {
    if (!Owns(window) || !book->SendNow(window, status))
        return false;
    return Release(window, status);
}

bool SDelaySenderLogic::ReleaseAll() {
    for (const SRelease& release : book->ReleaseAll(mailboxPath, kStatusReleasedAtExit))
        Release(WindowOf(release.window), release.status);
    return true;
}

bool SDelaySenderLogic::ReleaseAllForEdit() {
    for (const SRelease& release : book->ReleaseAll(mailboxPath, kStatusReleasedForEdit)) {
        HWND window = WindowOf(release.window);
        Release(window, release.status);
        ShowWindow(window, SW_SHOW);
        PostMessageA(window, WM_COMMAND, kComposeEditCommand, 0);
    }
    return true;
}

HWND SDelaySenderLogic::TakeBack(HWND window) {
    if (!Owns(window) || !book->TakeBack(window))
        return nullptr;
    SetStatus(window, kStatusNone);
    ShowWindow(window, SW_SHOW);
    SetFocus(window);
    return window;
}

bool SDelaySenderLogic::Forget(HWND window) {
    return Owns(window) && book->Forget(window);
}

void ShowReleasedWindows(SHoldBook* book) {
    // Showing a window can run the host's code; walk a copy of the handles.
    std::vector<SWindowId> shown = book->ReleasedWindows();
    for (SWindowId id : shown) {
        HWND window = WindowOf(id);
        if (!IsWindow(window)) {
            book->WindowGone(id);
            continue;
        }
        ShowWindow(window, SW_SHOW);
        SetFocus(window);
    }
}

bool SDelaySenderLogic::ReleaseDue() {
    ShowReleasedWindows(book);
    if (book->IsPaused(mailboxPath))
        return false;
    for (const SRelease& release : book->ReleaseDue(mailboxPath, CurrentLocalTime()))
        Release(WindowOf(release.window), release.status);
    return true;
}

const std::vector<SDelayMail>& SDelaySenderLogic::GetMails() const {
    return book->Mails(mailboxPath);
}

int SDelaySenderLogic::HeldCount() const {
    return book->Count(mailboxPath);
}
