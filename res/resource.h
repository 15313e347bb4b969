// Resource ids of the plug-in DLL.
#pragma once

#define VELMORA_VERSION_BINARY 2, 0, 2, 0
#define VELMORA_VERSION_TEXT "2.0.2.0"
