// The Windows Event Log under the source Velmora, opened once at start. Every event also
// reaches the operation log at its level, through the same log writer as every other line.
#pragma once

#include <string>
#include <vector>

#include "journal/event_table.h"

// level: 0 nothing, 1 errors and warnings, 2 everything. A second start replaces the first.
void StartEventLog(int level);
void StopEventLog();
// Whether the event goes anywhere now: callers gather its fields only then.
bool EventWanted(EEventId id);
// The lines joined with CR LF are the event's one insertion string, so that a console without
// the registered source still shows all of it; each line is also one line of the operation log.
void LogEvent(EEventId id, const std::vector<std::string>& lines);
void LogEvent(EEventId id, const std::string& text);
