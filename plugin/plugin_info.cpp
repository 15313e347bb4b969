#include "plugin/plugin_info.h"

#include "host/host_numbers.h"
#include "support/mbcs.h"
#include "support/version.h"

void FillPluginInfo(void* info, const SVersion& version) {
    if (!info)
        return;
    const char* const texts[kPluginInfoFields] = {version.productName, version.companyName,
                                                  version.productVersion, version.comments};
    char* field = static_cast<char*>(info);
    // Each bounded to its field, never leaving half of a double-byte character.
    for (const char* text : texts) {
        CopyMbcs(field, kPluginInfoFieldSize, text ? text : "");
        field += kPluginInfoFieldSize;
    }
}
