#include "host/plugin_logic.h"

#include "support/mark_of_the_web.h"

SPluginLogic::SPluginLogic(HINSTANCE instance, SHostApi* hostApi)
    : instance(instance), hostApi(hostApi) {}

SPluginLogic::~SPluginLogic() {}

int SPluginLogic::OnPlugInInfo(LPVOID) {
    return 0;
}
int SPluginLogic::OnPlugInSetup(HWND) {
    return 0;
}
int SPluginLogic::OnStart() {
    return 0;
}
int SPluginLogic::OnExit() {
    return 0;
}
int SPluginLogic::OnOutgoing(HWND, int) {
    return 0;
}
int SPluginLogic::OnEveryMinute() {
    return 0;
}
int SPluginLogic::OnOpenCompose(HWND, int) {
    return 0;
}

void SPluginLogic::SetMarkOfTheWeb(LPCSTR path) {
    ::SetMarkOfTheWeb(this, path);
}
