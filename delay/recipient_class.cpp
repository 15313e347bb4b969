#include "delay/recipient_class.h"

#include <cstring>

#include "support/string_list.h"

bool IsInnerAddress(const char* address, const SStringList* innerDomains) {
    if (!address || !innerDomains || !innerDomains->first)
        return false;
    const char* at = strchr(address, '@');
    if (!at)
        return false;
    const char* domainPart = at + 1;
    for (const SStringNode* node = innerDomains->first; node; node = node->next) {
        // An empty entry would match every domain and let outside mail go unheld.
        if (node->text && node->text[0] && strstr(domainPart, node->text))
            return true;
    }
    return false;
}
