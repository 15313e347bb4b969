#include "delay/exit_rule.h"

EExitQuestion ExitQuestion(bool confirming, bool anyHeld) {
    if (confirming)
        return EExitQuestion::ConfirmationOpen;
    return anyHeld ? EExitQuestion::SendHeld : EExitQuestion::None;
}

SExitSteps ExitSteps(EExitQuestion question, bool yes) {
    switch (question) {
    case EExitQuestion::None:
        return SExitSteps{true, false, true};
    case EExitQuestion::ConfirmationOpen:
        return SExitSteps{false, false, false};
    case EExitQuestion::SendHeld:
        return yes ? SExitSteps{true, true, false} : SExitSteps{false, false, false};
    }
    return SExitSteps{false, false, false};
}
