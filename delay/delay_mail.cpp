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

void SDelayMail::Capture(SWindowId window, SCapturedHeaders* headers, SSendRecipients* recipients,
                         int minutes, const SLocalTime& now) {
    composeWindow = window;
    subject = std::move(headers->subject);
    from = std::move(headers->from);
    FreeLists();
    to = recipients->TakeList(0);
    cc = recipients->TakeList(1);
    bcc = recipients->TakeList(2);
    innerCount = recipients->innerCount;
    outerCount = recipients->outerCount;
    outerDomains = recipients->outerDomains.Names();
    outerDomainsCut = recipients->outerDomains.Cut();
    heldAt = now;
    holdMinutes = minutes;
    if (minutes > 0)
        releaseAt = AddMinutes(heldAt, minutes);
}
