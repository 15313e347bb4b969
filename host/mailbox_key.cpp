#include "host/mailbox_key.h"

#include "host/host_api.h"
#include "support/mbcs.h"
#include "support/path_utils.h"

void FormMailboxKey(SHostApi* hostApi, char* key) {
    key[0] = '\0';
    LPCSTR mailbox = hostApi->BKA_GetCurrentMailBox();
    if (mailbox)
        CopyMbcs(key, kMailboxKeySize, mailbox);
    TrimSuffix(key, "\\");
}
