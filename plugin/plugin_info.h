// The host's plug-in information record, filled from the DLL's version resource.
#pragma once

class SVersion;

// info: the host's record; null is left alone.
void FillPluginInfo(void* info, const SVersion& version);
