#include "hold_world.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "delay/clock.h"
#include "delay/compose_manager.h"
#include "delay/delay_logic.h"
#include "delay/delay_sender.h"
#include "plugin/velmora_logic.h"
#include "plugin/main_window.h"
#include "settings/local_setting.h"

namespace {

std::string MakeFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof(temp), temp);
    static int serial = 0;
    char name[MAX_PATH];
    snprintf(name, sizeof(name), "%szvhold-%lu-%d", temp, GetCurrentProcessId(), ++serial);
    CreateDirectoryA(name, nullptr);
    return name;
}

} // namespace

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

HoldWorld::HoldWorld(const std::string& settingsText, HINSTANCE instance)
    : logic(nullptr), mailbox("Box1") {
    folder = MakeFolder();
    host.mailbox = mailbox;
    host.dataFolder = folder + "\\data\\";
    CreateDirectoryA(host.dataFolder.c_str(), nullptr);
    CreateDirectoryA((host.dataFolder + mailbox).c_str(), nullptr);
    iniPath = folder + "\\Velmora.ini";
    if (!settingsText.empty())
        std::ofstream(iniPath, std::ios::binary) << settingsText;

    char modulePath[MAX_PATH] = "";
    GetModuleFileNameA(instance, modulePath, sizeof(modulePath));
    logic = new VelmoraLogic(instance, &host.api, modulePath);
    logic->settings = new LocalSetting(iniPath.c_str());
    logic->settings->ReadAll();
    logic->mainWindow = new SMainWindow(logic, nullptr);
    logic->composeManager = new SComposeManager(logic);
    logic->delayLogic = new SDelayLogic(&host.api, logic->composeManager);
}

HoldWorld::~HoldWorld() {
    delete logic->delayLogic;
    logic->delayLogic = nullptr;
    delete logic->composeManager;
    logic->composeManager = nullptr;
    delete logic->mainWindow;
    logic->mainWindow = nullptr;
    delete logic->settings;
    logic->settings = nullptr;
    delete logic;
    SetLocalTimeOverride(nullptr);
    DeleteFileA(iniPath.c_str());
    DeleteFileA((host.dataFolder + mailbox + "\\Mailbox.ini").c_str());
    RemoveDirectoryA((host.dataFolder + mailbox).c_str());
    RemoveDirectoryA(host.dataFolder.c_str());
    RemoveDirectoryA(folder.c_str());
}

HWND HoldWorld::Hold(const std::string& subject, const std::string& to, const std::string& cc,
                     const std::string& bcc, int second) {
    HWND window = host.OpenCompose();
    host.SetHeader(window, "Subject", subject);
    host.SetHeader(window, "To", to);
    host.SetHeader(window, "Cc", cc);
    host.SetHeader(window, "Bcc", bcc);
    SYSTEMTIME heldAt = {2026, 12, 1, 7, 9, 5, static_cast<WORD>(second), 0};
    SetLocalTimeOverride(&heldAt);
    logic->OnOutgoing(window, 0);
    return window;
}

std::string HoldWorld::Status(HWND window) {
    return host.Header(window, "X-VelmoraStatus");
}

std::string HoldWorld::Setting(const char* section, const char* key) const {
    char value[4096] = "";
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof(value), iniPath.c_str());
    return value;
}

std::string HoldWorld::SettingsFile() const {
    return ReadFile(iniPath);
}

void HoldWorld::WriteAccountName(const std::string& name) {
    std::string path = host.dataFolder + mailbox + "\\Mailbox.ini";
    WritePrivateProfileStringA("Account", "Name", name.c_str(), path.c_str());
}

SDelaySenderLogic* HoldWorld::Sender() const {
    return logic->delayLogic ? logic->delayLogic->FindSender(mailbox.c_str()) : nullptr;
}

bool HoldWorld::Paused() const {
    return logic->delayLogic && logic->delayLogic->IsPaused(mailbox.c_str());
}
