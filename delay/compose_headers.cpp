#include "delay/compose_headers.h"

#include <memory>

#include "host/host_api.h"

const char kSubjectHeader[] = "Subject";

void ReadCapturedHeaders(const SHostApi* hostApi, HWND window, SCapturedHeaders* headers) {
    // One scratch buffer for the five reads.
    std::unique_ptr<char[]> buffer(new char[kHeaderBufferSize]);
    struct {
        const char* name;
        std::string* text;
        bool recipients;
    } const kFields[] = {{kSubjectHeader, &headers->subject, false},
                         {"From", &headers->from, false},
                         {"To", &headers->to, true},
                         {"Cc", &headers->cc, true},
                         {"Bcc", &headers->bcc, true}};
    for (const auto& field : kFields) {
        int answer =
            ReadComposeHeader(hostApi, window, field.name, buffer.get(), kHeaderBufferSize);
        field.text->assign(buffer.get());
        // A host that answers with the header's whole length tells us what it cut, even when
        // it stopped short of the buffer's end before a double-byte character.
        if (field.recipients && answer >= kHeaderBufferSize && !headers->recipientsCut) {
            headers->recipientsCut = true;
            headers->cutField = static_cast<int>(&field - &kFields[2]);
        }
    }
}
