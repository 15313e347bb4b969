#pragma once

// Walks a recipient header value in place, strtok-style: pass the writable
// text to start a walk, then null to go on. Returns the next raw entry
// (display name, comments and all) or null at the end. Not re-entrant: the
// continuation point is process-wide.
char* NextAddress(char* text);

// Output size of each SplitAddress buffer.
const int kAddressPartSize = 2048;

// Splits one entry into display name and mail address; both outputs are
// kAddressPartSize bytes and always NUL-terminated.
void SplitAddress(char* name, char* address, const char* entry);
