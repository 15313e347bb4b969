// Drives the modal dialogs of the test's own thread from a thread timer, while the test is
// blocked in DoModal: each step is tried on every tick until it reports done. Past the
// deadline every dialog of the thread is ended, so no test can hang.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tools/standin/dialog_driver.h"

class SDialogDriver {
  public:
    typedef std::function<bool()> Step;

    explicit SDialogDriver(DWORD timeoutMs = 8000);
    ~SDialogDriver();

    // Steps run in order; a step returning false is tried again on the next tick.
    SDialogDriver& Then(const std::string& what, Step step);
    bool Finished() const { return next == steps.size(); }
    bool TimedOut() const { return timedOut; }
    // The step that was still waiting when time ran out.
    std::string Waiting() const;

  private:
    static VOID CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::vector<std::pair<std::string, Step>> steps;
    size_t next;
    DWORD deadline;
    UINT_PTR timer;
    bool busy;
    bool timedOut;
};

// The visible dialog (class #32770) of this thread with exactly this caption, or null.
HWND FindDialog(const char* caption);
// Any visible dialog of this thread.
int CountDialogs();
// Window texts and list cells are read as the stand-in client reads them.
using DialogDriver::CellText;
using DialogDriver::WindowText;
// The text of a message box.
std::string MessageBoxText(HWND box);
// Posted like a click, so that whatever the handler opens runs outside the timer.
void PostClick(HWND dialog, int id);
void SelectListRows(HWND list, const std::vector<int>& rows);
