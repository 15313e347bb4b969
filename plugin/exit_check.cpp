#include "plugin/exit_check.h"

#include "delay/delay_logic.h"
#include "delay/exit_rule.h"
#include "plugin/send_confirmation.h"
#include "plugin/velmora_logic.h"

namespace {

// The user's answer to the question, when it asks one: true for sending the held mail.
bool Ask(HWND window, EExitQuestion question) {
    switch (question) {
    case EExitQuestion::None:
        return false;
    case EExitQuestion::ConfirmationOpen:
        MessageBoxA(window,
                    "宛先確認の画面が開いているため終了できません。\n"
                    "宛先確認の画面で送信するかキャンセルしてから終了してください。",
                    "宛先確認中です", MB_OK | MB_ICONINFORMATION);
        return false;
    case EExitQuestion::SendHeld:
        return MessageBoxA(window,
                           "送信保留メールが残っているため終了できません。\n"
                           "すべてを送信しますか？",
                           "送信保留メールがあります",
                           MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDNO;
    }
    return false;
}

} // namespace

bool CheckExit(VelmoraLogic* logic, HWND window) {
    const EExitQuestion question = ExitQuestion(logic->confirmation->IsAsking(),
                                                logic->delayLogic && logic->delayLogic->AnyHeld());
    const SExitSteps steps = ExitSteps(question, Ask(window, question));
    // The objects may be gone if the host ended the plug-in while the question was open.
    if (steps.showReleased && logic->delayLogic)
        logic->delayLogic->ShowReleasedWindows();
    if (steps.releaseAll && logic->delayLogic)
        logic->delayLogic->ReleaseAll();
    return steps.close;
}
