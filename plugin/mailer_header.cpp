#include "plugin/mailer_header.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "host/host_api.h"
#include "support/version.h"

namespace {

const char kMailerHeader[] = "X-Mailer-Plugin";

} // namespace

void AddMailerHeader(const SHostApi* hostApi, HWND compose, const SVersion& version) {
    std::unique_ptr<char[]> value(new char[kMailerHeaderSize]);
    ReadComposeHeader(hostApi, compose, kMailerHeader, value.get(), kMailerHeaderSize);
    const char* description = version.fileDescription ? version.fileDescription : "";
    const char* productVersion = version.productVersion ? version.productVersion : "";
    if (description[0] && strstr(value.get(), description))
        return;
    size_t length = strlen(value.get());
    if (length >= static_cast<size_t>(kMailerHeaderLimit))
        return;
    char entry[4200];
    snprintf(entry, sizeof(entry), "%s %s", description, productVersion);
    snprintf(value.get() + length, kMailerHeaderSize - length, "%s%s", length ? ", " : "", entry);
    hostApi->BKA_CompSetSpecifiedHeader(compose, kMailerHeader, value.get());
}
