// X-Mailer-Plugin, where each plug-in of the host names itself: ours is added to a held message.
#pragma once
#include <windows.h>

class SVersion;
struct SHostApi;

// Adds "<description> <version>" after the entries already there, unless the header names the
// plug-in already or has no room left.
void AddMailerHeader(const SHostApi* hostApi, HWND compose, const SVersion& version);
