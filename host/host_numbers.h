// Numbers the host gives a meaning to. Free of the platform, so that the rules that decide can
// name them too.
#pragma once

// BKC_OnOutgoing's mode when the user sends; any other (a save, say) is never held.
const int kSendModeSend = 0;
// BKC_OnOpenCompose's mode whose window the plug-in leaves alone: the host's own business.
const int kComposeModeUntracked = 3;

// Commands of the host's compose window, posted as WM_COMMAND.
const unsigned kComposeSendCommand = 10519;
const unsigned kComposeEditCommand = 10520;

// The host's plug-in information record: product name, company, version and comments, each a
// text field of this many bytes, one after the other.
const int kPluginInfoFieldSize = 80;
const int kPluginInfoFields = 4;

// X-Mailer-Plugin, where each plug-in of the host names itself: read into this many bytes, and
// left alone once this long, which keeps room for ", " and our entry.
const int kMailerHeaderSize = 16384;
const int kMailerHeaderLimit = 16324;
