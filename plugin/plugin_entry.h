// The one logic object of the process, owned by the DLL entry point.
#pragma once

class VelmoraLogic;

// Null while the plug-in is inert or detached.
extern VelmoraLogic* g_logic;
