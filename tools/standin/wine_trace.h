// What the plug-in asked of the Event Log and of Windows' log-off screen, read back from Wine's
// debug channels. Wine keeps no event log and only stubs the shutdown block reasons, but its
// stubs print each call: run the client as
//   WINEDEBUG=-all,fixme+advapi,+eventlog,fixme+graphics wine zvhost.exe --trace FILE ...
//   2>>FILE
// and these read FILE, the client's own standard error.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct TracedEvent {
    int type = 0; // EVENTLOG_ERROR_TYPE, _WARNING_TYPE, _INFORMATION_TYPE
    unsigned id = 0;
    std::vector<std::string> strings; // in the system code page; Wine cuts long ones short
};

void SetTraceFile(const std::string& path);
bool HasTraceFile();
// Every event reported so far, in order.
std::vector<TracedEvent> TracedEvents();
// The reason last set for the window, empty when none is set.
std::string TracedBlockReason(HWND window);
