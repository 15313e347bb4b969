// The held-mail journal and the domain history are written once the host's callback has
// returned, so that a send never waits for the disk: one message posted to the main window
// writes both.
#pragma once
#include <windows.h>

class SMainWindow;
class SHeldMailRecorder;
class SDomainHistoryStore;

// Registered, so it can never be one of the host's own messages.
UINT StoreFlushMessage();

class SStoreFlush {
  public:
    // Any may be null; all outlive this.
    SStoreFlush(const SMainWindow* mainWindow, SHeldMailRecorder* recorder,
                SDomainHistoryStore* history);
    // Asks for a write soon: one posted message for any number of changes; written at once
    // when the main window is not hooked, since nothing would see the message.
    void Request();
    // The posted message has come: writes what both have waiting.
    void Flush();

  private:
    const SMainWindow* mainWindow;
    SHeldMailRecorder* recorder;
    SDomainHistoryStore* history;
    bool posted;
};
