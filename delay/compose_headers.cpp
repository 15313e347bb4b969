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

SBccMove MoveComposeToBcc(const SHostApi* hostApi, HWND window, const SCapturedHeaders& headers,
                          const SDomainMatcher& matcher) {
    SBccMoveInput input;
    input.to = headers.to.c_str();
    input.cc = headers.cc.c_str();
    input.bcc = headers.bcc.c_str();
    input.from = headers.from.c_str();
    input.toCut = headers.recipientsCut && headers.cutField == 0;
    input.ccCut = headers.recipientsCut && headers.cutField == 1;
    input.bccCut = headers.recipientsCut && headers.cutField == 2;
    input.bufferSize = kHeaderBufferSize;
    SBccMove move = MoveOutsideToBcc(input, matcher);
    if (move.outcome != EBccMoveOutcome::Moved)
        return move;
    const struct {
        const char* name;
        const std::string* now;
        const std::string* before;
    } kWrites[] = {{"Bcc", &move.bcc, &headers.bcc},
                   {"Cc", &move.cc, &headers.cc},
                   {"To", &move.to, &headers.to}};
    for (size_t i = 0; i < 3; ++i) {
        if (hostApi->BKA_CompSetSpecifiedHeader(window, kWrites[i].name, kWrites[i].now->c_str()))
            continue;
        while (i-- > 0)
            hostApi->BKA_CompSetSpecifiedHeader(window, kWrites[i].name,
                                                kWrites[i].before->c_str());
        move.outcome = EBccMoveOutcome::HostRefused;
        return move;
    }
    return move;
}
