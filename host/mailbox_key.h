// The key of a mailbox's hold queue: the host's current mailbox text.
#pragma once
#include <cstddef>

struct SHostApi;

const size_t kMailboxKeySize = 260;

// Copies the current mailbox into key (kMailboxKeySize bytes) without one trailing backslash.
void FormMailboxKey(SHostApi* hostApi, char* key);
