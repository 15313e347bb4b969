// What closing the client does while mail is held or being looked at. Free of the platform:
// the main window's hook asks and acts, this decides.
#pragma once

enum class EExitQuestion {
    None,             // nothing is held: the client closes
    ConfirmationOpen, // its message is neither sent nor held yet: the user is told, no more
    SendHeld,         // held mail: send it all now?
};

struct SExitSteps {
    bool showReleased; // released windows still open come to the front
    bool releaseAll;   // every held message goes now
    bool close;
};

EExitQuestion ExitQuestion(bool confirming, bool anyHeld);

// What follows the question; yes is the user's answer to SendHeld. Sending everything keeps
// the client open: the user sees it go, and a second close ends the client.
SExitSteps ExitSteps(EExitQuestion question, bool yes);
