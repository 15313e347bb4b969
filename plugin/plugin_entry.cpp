#include "plugin/plugin_entry.h"

VelmoraLogic* g_logic = nullptr;
