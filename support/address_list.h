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

// Reads the mail address of one entry into address (kAddressPartSize bytes) and returns its
// domain part inside it, or null when the entry is not one plain local@domain once comments
// are dropped: blanks, quotes, angle brackets or a second '@' in the address, text after '>',
// an '@' in the display name, a quote, comment or '<' left open, or a lead byte anywhere that
// no trail byte follows. '@' is only found on character boundaries.
const char* PlainAddressDomain(const char* entry, char* address);
