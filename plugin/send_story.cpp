#include "plugin/send_story.h"

#include <memory>

#include "confirm/confirm_rows.h"
#include "confirm/domain_learner.h"
#include "confirm/confirm_text.h"
#include "delay/bcc_move.h"
#include "delay/clock.h"
#include "delay/compose_headers.h"
#include "delay/compose_manager.h"
#include "delay/delay_logic.h"
#include "delay/delay_sender.h"
#include "delay/hold_events.h"
#include "delay/recipient_class.h"
#include "delay/send_decision.h"
#include "host/host_api.h"
#include "host/mailbox_key.h"
#include "journal/event_log.h"
#include "journal/hold_log_text.h"
#include "plugin/mailer_header.h"
#include "plugin/send_confirmation.h"
#include "plugin/velmora_logic.h"
#include "settings/local_setting.h"
#include "support/encoded_words.h"
#include "support/guard.h"
#include "support/log_writer.h"

namespace {

const char kIdentHeader[] = "X-KRV-Ident";
const int kIdentSize = 2048;
const int kSubjectSize = 1024;

// Every value of the settings a send reads, read here and nowhere else on its way.
SSendSettings SendSettingsOf(const LocalSetting* settings) {
    SSendSettings values;
    if (!settings)
        return values;
    values.times.innerMinutes = settings->Int(EKeyId::InnerDelayTime);
    values.times.outerMinutes = settings->Int(EKeyId::OuterDelayTime);
    values.innerDomains = &settings->List(EKeyId::InnerDomains);
    values.innerDomainMatch = settings->Int(EKeyId::InnerDomainMatch);
    values.ctrlBypass = settings->Int(EKeyId::CtrlBypass) != 0;
    values.identBypass = settings->Int(EKeyId::IdentBypass) != 0;
    values.confirms = settings->Int(EKeyId::Confirm) != kConfirmNever;
    return values;
}

class SSendStory {
  public:
    SSendStory(VelmoraLogic& logic, HWND compose) : logic(logic), compose(compose) {}
    int Tell(int mode);

  private:
    void StartAgain();
    void ReadContext(SSendContext* context);
    void MoveUnasked(SCapturedHeaders* snapshot);
    SSendDecision Decide(SCapturedHeaders* snapshot, SSendContext* context,
                         SSendRecipients* recipients);
    EConfirmAnswer Confirm(SCapturedHeaders* snapshot, const SSendRecipients& recipients,
                           const SSendDecision& decision, const SSendContext& context);
    int Act(const SSendDecision& decision, SCapturedHeaders* snapshot, SSendRecipients* recipients);
    void Hold(const SSendDecision& decision, SCapturedHeaders* snapshot,
              SSendRecipients* recipients);
    void LetGo(const SSendRecipients& recipients);
    void LogDecision(EDecision reason, const SCapturedHeaders* snapshot);

    SHostApi* hostApi() const { return logic.HostApi(); }

    VelmoraLogic& logic;
    HWND compose;
    // Another send may come while this one's dialog is open: each keeps its own.
    std::unique_ptr<char[]> ident;
    SMovedToBcc moved;
};

int SSendStory::Tell(int mode) {
    if (!logic.delayLogic || !logic.composeManager)
        return 0;
    // Read at the start, or here once after the confirmation was switched on in the setup.
    if (logic.learner)
        logic.learner->LoadHistory();

    SSendContext context;
    context.mode = mode;
    // A release lets through the one send it posted, and no later one.
    context.releasePass = mode == kSendModeSend && logic.delayLogic->UsePass(compose);
    if (!IsFreshSend(context))
        return Act(DecideSend(SSendRecipients(), context), nullptr, nullptr);

    StartAgain();
    ReadContext(&context);
    // One read of the headers per send: every step below works on this snapshot, unless the
    // user changes the recipients while they are shown. Then the headers as they are now are
    // decided and shown again.
    SCapturedHeaders snapshot;
    ReadCapturedHeaders(hostApi(), compose, &snapshot);
    MoveUnasked(&snapshot);
    SSendRecipients recipients;
    SSendDecision decision;
    EConfirmAnswer answer = kConfirmGoOn;
    do {
        decision = Decide(&snapshot, &context, &recipients);
        answer = Confirm(&snapshot, recipients, decision, context);
    } while (answer == kConfirmChanged);
    // The plug-in may have ended while the dialog was open.
    if (answer == kConfirmRefused || !logic.delayLogic)
        return -1;
    return Act(decision, &snapshot, &recipients);
}

// Sent again after a release whose send failed: a new message, decided from the start.
void SSendStory::StartAgain() {
    if (logic.delayLogic->ReturnToUser(compose))
        hostApi()->BKA_CompSetSpecifiedHeader(compose, kStatusHeader, "");
    if (logic.learner)
        logic.learner->CameBack(compose);
}

// Decided before the look, so that the dialog tells what will happen. Ctrl skips the hold, not
// the look; it is read at the send, not when the dialog closes.
void SSendStory::ReadContext(SSendContext* context) {
    context->ctrlDown = GetKeyState(VK_CONTROL) < 0;
    ident.reset(new char[kIdentSize]);
    ReadComposeHeader(hostApi(), compose, kIdentHeader, ident.get(), kIdentSize);
    context->ident = ident.get();
}

// Under BccConvert=2 a mass mail's outside recipients go to Bcc before anything looks at the
// send, shown or not; a refused move leaves the dialog's button to the user.
void SSendStory::MoveUnasked(SCapturedHeaders* snapshot) {
    const LocalSetting* settings = logic.settings;
    if (!settings || settings->Int(EKeyId::BccConvert) < 2)
        return;
    const SDomainMatcher matcher(&settings->List(EKeyId::InnerDomains),
                                 settings->Int(EKeyId::InnerDomainMatch));
    if (!OffersBccMove(snapshot->to.c_str(), snapshot->cc.c_str(), matcher,
                       settings->Int(EKeyId::BccWarnCount)))
        return;
    const SBccMove move = MoveComposeToBcc(hostApi(), compose, *snapshot, matcher);
    const std::string subject =
        DecodeEncodedWords(snapshot->subject.c_str(), snapshot->subject.size());
    if (move.outcome != EBccMoveOutcome::Moved) {
        logic.LogInfo(BccRefusedLogText(subject, move.outcome, true).c_str());
        return;
    }
    logic.LogInfo(BccMoveLogText(subject, move.moved, true).c_str());
    moved.count += move.moved;
    moved.unasked = true;
    SCapturedHeaders now;
    ReadCapturedHeaders(hostApi(), compose, &now);
    *snapshot = std::move(now);
}

// With the settings as they are now: a setup saved while the recipients were shown counts.
SSendDecision SSendStory::Decide(SCapturedHeaders* snapshot, SSendContext* context,
                                 SSendRecipients* recipients) {
    context->settings = SendSettingsOf(logic.settings);
    recipients->Classify(
        snapshot,
        SDomainMatcher(context->settings.innerDomains, context->settings.innerDomainMatch),
        context->settings.confirms, EventWanted(EEventId::Held));
    return DecideSend(*recipients, *context);
}

EConfirmAnswer SSendStory::Confirm(SCapturedHeaders* snapshot, const SSendRecipients& recipients,
                                   const SSendDecision& decision, const SSendContext& context) {
    if (!context.settings.confirms)
        return kConfirmGoOn;
    const SDomainHistory* history = logic.learner ? logic.learner->LoadHistory() : nullptr;
    SCapturedHeaders now;
    const EConfirmAnswer answer = logic.confirmation->Confirm(
        compose, *snapshot, recipients, logic.settings, history, decision.minutes, &moved, &now);
    if (answer == kConfirmChanged)
        *snapshot = std::move(now);
    return answer;
}

int SSendStory::Act(const SSendDecision& decision, SCapturedHeaders* snapshot,
                    SSendRecipients* recipients) {
    LogDecision(decision.reason, snapshot);
    switch (decision.reason) {
    case EDecision::Held:
        Hold(decision, snapshot, recipients);
        return -1;
    case EDecision::NotASend:
        // Only a send is held: whatever else the host does with the message carries no status.
        hostApi()->BKA_CompSetSpecifiedHeader(compose, kStatusHeader, "");
        return 0;
    case EDecision::ReleasedBefore:
        if (logic.learner)
            logic.learner->PassUsed(compose);
        if (logic.holdEvents)
            logic.holdEvents->PassUsed(compose);
        return 0;
    case EDecision::IdentHeader:
        hostApi()->BKA_CompSetSpecifiedHeader(compose, kIdentHeader, "");
        break;
    case EDecision::CtrlDown:
    case EDecision::InsideZeroHold:
    case EDecision::ZeroHold:
        break;
    }
    if (logic.holdEvents)
        logic.holdEvents->SentAtOnce(decision.reason, *recipients);
    LetGo(*recipients);
    return 0;
}

void SSendStory::Hold(const SSendDecision& decision, SCapturedHeaders* snapshot,
                      SSendRecipients* recipients) {
    char key[kMailboxKeySize];
    FormMailboxKey(hostApi(), key);
    SDelayMail mail;
    // Held from now: after the look at the recipients, when there was one.
    mail.Capture(compose, snapshot, recipients, decision.minutes, CurrentLocalTime());
    logic.delayLogic->Hold(key, compose, std::move(mail));
    AddMailerHeader(hostApi(), compose, *logic.version);
}

// The host sends now; what the mail teaches waits until its window has gone.
void SSendStory::LetGo(const SSendRecipients& recipients) {
    logic.delayLogic->LetGo(compose);
    if (!logic.learner || !logic.learner->Keeps())
        return;
    GuardedCall<int>(0, [&]() {
        // The hook is what sees the window go.
        logic.composeManager->Register(compose);
        logic.learner->Sending(compose, recipients.OutsideDomains());
        return 0;
    });
}

// One debug line per send, naming the subject: from the snapshot, or read for the line when
// the send took none.
void SSendStory::LogDecision(EDecision reason, const SCapturedHeaders* snapshot) {
    if (!NTessik::GetSink() || NTessik::MaxLevel() < NTessik::kLevelDebug)
        return;
    std::unique_ptr<char[]> read;
    const char* subject = snapshot ? snapshot->subject.c_str() : nullptr;
    if (!snapshot) {
        read.reset(new char[kSubjectSize]);
        ReadComposeHeader(hostApi(), compose, kSubjectHeader, read.get(), kSubjectSize);
        subject = read.get();
    }
    logic.LogDebug(DecisionLogText(subject, reason).c_str());
}

} // namespace

int TellSend(VelmoraLogic* logic, HWND compose, int mode) {
    return SSendStory(*logic, compose).Tell(mode);
}
