#include "delay/compose_headers.h"

#include <memory>

#include "host/host_api.h"

void ReadCapturedHeaders(const SHostApi* hostApi, HWND window, SCapturedHeaders* headers) {
    // One scratch buffer for the five reads.
    std::unique_ptr<char[]> buffer(new char[kHeaderBufferSize]);
    struct {
        const char* name;
        std::string* text;
    } const kFields[] = {{"Subject", &headers->subject},
                         {"From", &headers->from},
                         {"To", &headers->to},
                         {"Cc", &headers->cc},
                         {"Bcc", &headers->bcc}};
    for (const auto& field : kFields) {
        ReadComposeHeader(hostApi, window, field.name, buffer.get(), kHeaderBufferSize);
        field.text->assign(buffer.get());
    }
}
