#include "plugin/send_confirmation.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "confirm/confirm_form.h"
#include "confirm/confirm_rows.h"
#include "confirm/confirm_text.h"
#include "delay/clock.h"
#include "delay/compose_headers.h"
#include "settings/local_setting.h"
#include "support/log_target.h"

namespace {

SConfirmOptions OptionsOf(const LocalSetting& settings) {
    SConfirmOptions options;
    options.confirmMode = settings.confirmMode;
    options.insideEach = settings.confirmInsideEach;
    options.bccWarnCount = settings.bccWarnCount;
    options.newDomainWarn = settings.newDomainWarn;
    options.innerDomainMatch = settings.innerDomainMatch;
    options.outsideKeywords = settings.outsideKeywords;
    return options;
}

std::string NextStepText(const LocalSetting& settings, const SConfirmModel& model,
                         bool sendsAtOnce) {
    int minutes = model.outsideCount > 0 ? settings.outerDelayTime : settings.innerDelayTime;
    if (sendsAtOnce || minutes <= 0)
        return "すぐに送信されます";
    char text[64];
    snprintf(text, sizeof(text), "送信後 %d 分間保留されます", static_cast<int>(minutes));
    return text;
}

} // namespace

SSendConfirmation::SSendConfirmation(HINSTANCE instance, SHostApi* hostApi, SLogTarget* log)
    : instance(instance), hostApi(hostApi), log(log) {}

bool SSendConfirmation::Confirm(HWND compose, const LocalSetting* settings,
                                const SDomainHistory* history, bool sendsAtOnce) {
    if (!settings || settings->confirmMode == kConfirmNever)
        return true;
    // No window to own the question, or one already asking: refused, never sent unasked.
    if (!IsWindow(compose) || std::find(asking.begin(), asking.end(), compose) != asking.end())
        return false;

    SCapturedHeaders headers;
    ReadCapturedHeaders(hostApi, compose, &headers);
    SConfirmInput input;
    input.to = headers.to.c_str();
    input.cc = headers.cc.c_str();
    input.bcc = headers.bcc.c_str();
    input.innerDomains = settings->innerDomains;
    input.history = history;
    input.today = CurrentLocalTime();
    input.recipientsCut = headers.recipientsCut;
    input.subject = headers.subject.c_str();
    SConfirmModel model;
    model.Build(input, OptionsOf(*settings));
    if (!model.needed)
        return true;

    SConfirmForm form(instance, compose, &model);
    form.subject = headers.subject;
    form.from = headers.from;
    form.nextStep = NextStepText(*settings, model, sendsAtOnce);
    log->LogInfo(ConfirmShownLogText(headers.subject, model.insideCount, model.outsideCount,
                                     static_cast<int>(model.warnings.size()))
                     .c_str());
    for (const std::string& line : WarningLogLines(model))
        log->LogInfo(line.c_str());
    asking.push_back(compose);
    int result = form.DoModal();
    asking.erase(std::find(asking.begin(), asking.end(), compose));

    const char* why = nullptr;
    if (form.hostEnded)
        why = "プラグイン終了";
    else if (!IsWindow(compose))
        why = "作成ウィンドウ消滅";
    else if (result != kConfirmSend)
        why = result == -1 ? "ダイアログを開けない" : "ユーザー";
    if (why) {
        log->LogInfo(ConfirmCancelledLogText(headers.subject, why).c_str());
        return false;
    }
    log->LogInfo(ConfirmSentLogText(headers.subject, model.insideCount, model.outsideCount,
                                    form.WarningsTicked())
                     .c_str());
    return true;
}
