#include "delay/delay_mail.h"

#include <cstring>
#include <memory>

#include "delay/clock.h"
#include "delay/recipient_class.h"
#include "delay/velmora_logic.h"
#include "host/host_api.h"
#include "settings/local_setting.h"
#include "support/address_list.h"
#include "support/string_list.h"

namespace {

SStringList* CopyList(const SStringList* source) {
    if (!source)
        return nullptr;
    SStringList* copy = new SStringList;
    copy->CopyFrom(source);
    return copy;
}

} // namespace

SDelayMail::SDelayMail()
    : composeWindow(nullptr), heldAt(), releaseAt(), to(nullptr), cc(nullptr), bcc(nullptr),
      innerCount(0), outerCount(0) {}

SDelayMail::SDelayMail(const SDelayMail& other)
    : composeWindow(other.composeWindow), heldAt(other.heldAt), releaseAt(other.releaseAt),
      subject(other.subject), from(other.from), to(nullptr), cc(nullptr), bcc(nullptr),
      innerCount(other.innerCount), outerCount(other.outerCount) {
    to = CopyList(other.to);
    cc = CopyList(other.cc);
    bcc = CopyList(other.bcc);
}

SDelayMail::SDelayMail(SDelayMail&& other) noexcept
    : composeWindow(other.composeWindow), heldAt(other.heldAt), releaseAt(other.releaseAt),
      subject(std::move(other.subject)), from(std::move(other.from)), to(other.to), cc(other.cc),
      bcc(other.bcc), innerCount(other.innerCount), outerCount(other.outerCount) {
    other.to = other.cc = other.bcc = nullptr;
}

SDelayMail& SDelayMail::operator=(SDelayMail&& other) noexcept {
    if (this == &other)
        return *this;
    FreeLists();
    composeWindow = other.composeWindow;
    heldAt = other.heldAt;
    releaseAt = other.releaseAt;
    subject = std::move(other.subject);
    from = std::move(other.from);
    to = other.to;
    cc = other.cc;
    bcc = other.bcc;
    other.to = other.cc = other.bcc = nullptr;
    innerCount = other.innerCount;
    outerCount = other.outerCount;
    return *this;
}

SDelayMail& SDelayMail::operator=(const SDelayMail& other) {
    if (this == &other)
        return *this;
    // Copy first so that a failed allocation leaves this record whole.
    std::unique_ptr<SStringList> newTo(CopyList(other.to));
    std::unique_ptr<SStringList> newCc(CopyList(other.cc));
    std::unique_ptr<SStringList> newBcc(CopyList(other.bcc));
    std::string newSubject = other.subject;
    std::string newFrom = other.from;
    FreeLists();
    composeWindow = other.composeWindow;
    heldAt = other.heldAt;
    releaseAt = other.releaseAt;
    subject.swap(newSubject);
    from.swap(newFrom);
    to = newTo.release();
    cc = newCc.release();
    bcc = newBcc.release();
    innerCount = other.innerCount;
    outerCount = other.outerCount;
    return *this;
}

SDelayMail::~SDelayMail() {
    FreeLists();
}

void SDelayMail::FreeLists() {
    delete to;
    delete cc;
    delete bcc;
    to = cc = bcc = nullptr;
}

bool SDelayMail::GetDelayMinutes(VelmoraLogic* logic, int* minutes) {
    LocalSetting* settings = logic->settings;
    int value = 0;
    if (settings)
        value = outerCount > 0 ? settings->outerDelayTime : settings->innerDelayTime;
    *minutes = value;
    return value > 0;
}

bool SDelayMail::Capture(HWND window, VelmoraLogic* logic) {
    SHostApi* hostApi = logic->HostApi();
    composeWindow = window;
    std::unique_ptr<char[]> buffer(new char[kHeaderBufferSize]);
    ReadComposeHeader(hostApi, window, "Subject", buffer.get(), kHeaderBufferSize);
    subject = buffer.get();
    ReadComposeHeader(hostApi, window, "From", buffer.get(), kHeaderBufferSize);
    from = buffer.get();

    FreeLists();
    innerCount = 0;
    outerCount = 0;
    // One matcher for the three headers: building it costs more than a short header.
    SDomainMatcher matcher(logic->settings ? logic->settings->innerDomains : nullptr);
    to = ReadRecipients(hostApi, window, "To", buffer.get(), matcher, &innerCount, &outerCount);
    cc = ReadRecipients(hostApi, window, "Cc", buffer.get(), matcher, &innerCount, &outerCount);
    bcc = ReadRecipients(hostApi, window, "Bcc", buffer.get(), matcher, &innerCount, &outerCount);
    buffer.reset();

    GetCurrentLocalTime(&heldAt);
    int minutes = 0;
    if (!GetDelayMinutes(logic, &minutes))
        return false;
    releaseAt = AddMinutes(heldAt, minutes);
    return true;
}

SStringList* ReadRecipients(SHostApi* hostApi, HWND window, LPCSTR header, char* buffer,
                            const SDomainMatcher& matcher, int* innerCount, int* outerCount) {
    ReadComposeHeader(hostApi, window, header, buffer, kHeaderBufferSize);
    return ClassifyRecipients(buffer, matcher, innerCount, outerCount);
}
