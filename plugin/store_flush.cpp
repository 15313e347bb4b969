#include "plugin/store_flush.h"

#include "confirm/domain_history_store.h"
#include "delay/held_mail_recorder.h"
#include "plugin/main_window.h"

UINT StoreFlushMessage() {
    static const UINT message = RegisterWindowMessageA("zVelmora.JournalFlush");
    return message;
}

SStoreFlush::SStoreFlush(const SMainWindow* mainWindow, SHeldMailRecorder* recorder,
                         SDomainHistoryStore* history)
    : mainWindow(mainWindow), recorder(recorder), history(history), posted(false) {}

void SStoreFlush::Request() {
    if (posted)
        return;
    if (mainWindow && mainWindow->subclassed &&
        PostMessageA(mainWindow->window, StoreFlushMessage(), 0, 0)) {
        posted = true;
        return;
    }
    Flush();
}

void SStoreFlush::Flush() {
    posted = false;
    if (recorder)
        recorder->Flush();
    if (history)
        history->Flush();
}
