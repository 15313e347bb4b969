#include "plugin/send_confirmation.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "confirm/confirm_events.h"
#include "confirm/confirm_form.h"
#include "confirm/confirm_rows.h"
#include "confirm/confirm_text.h"
#include "delay/clock.h"
#include "delay/compose_headers.h"
#include "delay/recipient_class.h"
#include "settings/local_setting.h"
#include "support/encoded_words.h"
#include "support/log_target.h"

namespace {

std::string NextStepText(int holdMinutes) {
    if (holdMinutes <= 0)
        return "すぐに送信されます";
    char text[64];
    snprintf(text, sizeof(text), "送信後 %d 分間保留されます", holdMinutes);
    return text;
}

// The subject counts too: the outside keywords are looked for in it.
bool SameRecipients(const SCapturedHeaders& a, const SCapturedHeaders& b) {
    return a.subject == b.subject && a.to == b.to && a.cc == b.cc && a.bcc == b.bcc &&
           a.recipientsCut == b.recipientsCut && a.cutField == b.cutField;
}

// The window is marked as asking, and kept disabled, on every road out of the dialog: the
// dialog's end enables its owner while a later dialog's loop may still hold this decision.
class SAskingMark {
  public:
    SAskingMark(std::vector<HWND>* asking, HWND compose) : asking(asking), compose(compose) {
        asking->push_back(compose);
    }
    ~SAskingMark() {
        asking->erase(std::find(asking->begin(), asking->end(), compose));
        if (IsWindow(compose))
            EnableWindow(compose, TRUE);
    }

  private:
    std::vector<HWND>* asking;
    HWND compose;
};

} // namespace

SSendConfirmation::SSendConfirmation(HINSTANCE instance, SHostApi* hostApi, SLogTarget* log)
    : instance(instance), hostApi(hostApi), log(log) {}

EConfirmAnswer SSendConfirmation::Confirm(HWND compose, const SCapturedHeaders& headers,
                                          const SSendRecipients& recipients,
                                          const LocalSetting* settings,
                                          const SDomainHistory* history, int holdMinutes,
                                          SMovedToBcc* moved, SCapturedHeaders* now) {
    if (!settings || settings->Int(EKeyId::Confirm) == kConfirmNever)
        return kConfirmGoOn;
    // No window to own the question: refused, never sent unasked.
    if (!IsWindow(compose))
        return kConfirmRefused;
    if (std::find(asking.begin(), asking.end(), compose) != asking.end()) {
        MessageBoxA(compose,
                    "このメールの宛先確認がまだ終わっていません。\n"
                    "宛先確認の画面で送信するかキャンセルしてください。",
                    "宛先確認中です", MB_OK | MB_ICONINFORMATION);
        // The box's end may have enabled its owner: the open confirmation still keeps it.
        if (IsWindow(compose))
            EnableWindow(compose, FALSE);
        return kConfirmRefused;
    }

    SConfirmInput input;
    input.recipients = &recipients;
    input.innerDomains = &settings->List(EKeyId::InnerDomains);
    input.history = history;
    input.today = CurrentLocalTime();
    input.subject = headers.subject.c_str();
    input.movedToBcc = moved->count;
    input.movedUnasked = moved->unasked;
    SConfirmModel model;
    model.Build(input, SConfirmOptions(settings->Values()));
    if (!model.needed)
        return kConfirmGoOn;

    // As the user reads it, in the dialog and in the log alike.
    const std::string subject = DecodeEncodedWords(headers.subject.c_str(), headers.subject.size());
    SConfirmForm form(instance, compose, &model);
    form.subject = subject;
    form.from = headers.from;
    form.nextStep = NextStepText(holdMinutes);
    // The settings may be gone by the time the button is pressed: the matcher holds its own
    // copy of the domains.
    const SDomainMatcher matcher(&settings->List(EKeyId::InnerDomains),
                                 settings->Int(EKeyId::InnerDomainMatch));
    if (settings->Int(EKeyId::BccConvert) > 0 &&
        OffersBccMove(headers.to.c_str(), headers.cc.c_str(), matcher,
                      settings->Int(EKeyId::BccWarnCount)))
        form.moveToBcc = [&](HWND dialog) {
            // From the headers as they are now: the user may have edited them meanwhile.
            SCapturedHeaders fresh;
            ReadCapturedHeaders(hostApi, compose, &fresh);
            const SBccMove move = MoveComposeToBcc(hostApi, compose, fresh, matcher);
            if (move.outcome != EBccMoveOutcome::Moved) {
                log->LogInfo(BccRefusedLogText(subject, move.outcome, false).c_str());
                MessageBoxA(dialog, BccRefusalText(move.outcome).c_str(), kBccRefusalCaption,
                            MB_OK | MB_ICONWARNING);
                return false;
            }
            log->LogInfo(BccMoveLogText(subject, move.moved, false).c_str());
            moved->count += move.moved;
            return true;
        };
    log->LogInfo(ConfirmShownLogText(subject, model.insideCount, model.outsideCount,
                                     static_cast<int>(model.warnings.size()))
                     .c_str());
    for (const std::string& line : WarningLogLines(model))
        log->LogInfo(line.c_str());
    int result = 0;
    {
        SAskingMark mark(&asking, compose);
        result = form.DoModal();
    }

    EConfirmEnd why = EConfirmEnd::ByUser;
    bool refused = true;
    if (form.hostEnded)
        why = EConfirmEnd::PluginEnded;
    else if (!IsWindow(compose))
        why = EConfirmEnd::WindowGone;
    else if (result == -1)
        why = EConfirmEnd::NoDialog;
    else if (result == kConfirmMovedToBcc)
        why = EConfirmEnd::MovedToBcc;
    else
        refused = result != kConfirmSend;
    if (why == EConfirmEnd::MovedToBcc) {
        ReadCapturedHeaders(hostApi, compose, now);
        return kConfirmChanged;
    }
    if (refused) {
        log->LogInfo(ConfirmCancelledLogText(subject, why).c_str());
        if (why == EConfirmEnd::ByUser)
            LogConfirmEnd(model, false);
        return kConfirmRefused;
    }
    // Another dialog's loop may have run in between: the rows ticked must be the ones sent.
    ReadCapturedHeaders(hostApi, compose, now);
    if (!SameRecipients(headers, *now)) {
        log->LogInfo(ConfirmCancelledLogText(subject, EConfirmEnd::RecipientsChanged).c_str());
        return kConfirmChanged;
    }
    log->LogInfo(
        ConfirmSentLogText(subject, model.insideCount, model.outsideCount, form.WarningsTicked())
            .c_str());
    LogConfirmEnd(model, true);
    return kConfirmGoOn;
}
