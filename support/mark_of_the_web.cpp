#include "host/plugin_logic.h"

// Placeholder until the tagging lands; does nothing yet.
void SPluginLogic::SetMarkOfTheWeb(LPCSTR) {}
