#include "delay/delay_mail.h"

#include <cstring>
#include <memory>

#include "delay/recipient_class.h"
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
      innerCount(0), outerCount(0), holdMinutes(0), outerDomainsCut(false) {}

SDelayMail::SDelayMail(const SDelayMail& other)
    : composeWindow(other.composeWindow), heldAt(other.heldAt), releaseAt(other.releaseAt),
      subject(other.subject), from(other.from), to(nullptr), cc(nullptr), bcc(nullptr),
      innerCount(other.innerCount), outerCount(other.outerCount), holdMinutes(other.holdMinutes),
      outerDomains(other.outerDomains), outerDomainsCut(other.outerDomainsCut) {
    to = CopyList(other.to);
    cc = CopyList(other.cc);
    bcc = CopyList(other.bcc);
}

SDelayMail::SDelayMail(SDelayMail&& other) noexcept
    : composeWindow(other.composeWindow), heldAt(other.heldAt), releaseAt(other.releaseAt),
      subject(std::move(other.subject)), from(std::move(other.from)), to(other.to), cc(other.cc),
      bcc(other.bcc), innerCount(other.innerCount), outerCount(other.outerCount),
      holdMinutes(other.holdMinutes), outerDomains(std::move(other.outerDomains)),
      outerDomainsCut(other.outerDomainsCut) {
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
    holdMinutes = other.holdMinutes;
    outerDomains = std::move(other.outerDomains);
    outerDomainsCut = other.outerDomainsCut;
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
    std::vector<std::string> newDomains = other.outerDomains;
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
    holdMinutes = other.holdMinutes;
    outerDomains.swap(newDomains);
    outerDomainsCut = other.outerDomainsCut;
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

bool SDelayMail::GetDelayMinutes(const SHoldTimes& times, int* minutes) const {
    int value = outerCount > 0 ? times.outerMinutes : times.innerMinutes;
    *minutes = value;
    return value > 0;
}

bool SDelayMail::Capture(SWindowId window, SCapturedHeaders* headers,
                         const SStringList* innerDomains, const SHoldTimes& times,
                         const SLocalTime& now, int innerDomainMatch) {
    composeWindow = window;
    subject = std::move(headers->subject);
    from = std::move(headers->from);

    FreeLists();
    innerCount = 0;
    outerCount = 0;
    // A recipient text that fills its buffer lost entries nobody classified: count them as one
    // outside recipient.
    const size_t full = kHeaderBufferSize - 1;
    if (headers->recipientsCut || headers->to.size() >= full || headers->cc.size() >= full ||
        headers->bcc.size() >= full)
        ++outerCount;
    // One matcher for the three headers: building it costs more than a short header.
    SDomainMatcher matcher(innerDomains, innerDomainMatch);
    SOuterDomains domains;
    to = ClassifyRecipients(&headers->to[0], matcher, &innerCount, &outerCount, &domains);
    cc = ClassifyRecipients(&headers->cc[0], matcher, &innerCount, &outerCount, &domains);
    bcc = ClassifyRecipients(&headers->bcc[0], matcher, &innerCount, &outerCount, &domains);
    outerDomains = domains.Names();
    outerDomainsCut = domains.Cut();

    heldAt = now;
    int minutes = 0;
    bool held = GetDelayMinutes(times, &minutes);
    holdMinutes = minutes;
    if (!held)
        return false;
    releaseAt = AddMinutes(heldAt, minutes);
    return true;
}
