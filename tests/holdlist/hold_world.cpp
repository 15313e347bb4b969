#include "hold_world.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "delay/clock.h"
#include "delay/delay_logic.h"
#include "delay/delay_sender.h"
#include "host/velmora_logic.h"
#include "host/main_window.h"
#include "settings/local_setting.h"
#include "support/string_list.h"

HoldWorld* HoldWorld::current = nullptr;

namespace {

LPCSTR WINAPI GetDataFolder() {
    return HoldWorld::current->dataFolder.c_str();
}

LPCSTR WINAPI GetCurrentMailBox() {
    return HoldWorld::current->currentMailbox.c_str();
}

int WINAPI CompGetSpecifiedHeader(HWND window, LPCSTR name, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    std::string value = HoldWorld::current->headers[window][name ? name : ""];
    snprintf(buffer, size, "%s", value.c_str());
    return static_cast<int>(strlen(buffer));
}

int WINAPI CompSetSpecifiedHeader(HWND window, LPCSTR, LPCSTR value) {
    HoldWorld::current->status[window] = value ? value : "";
    return 1;
}

UINT WINAPI RegisterCommand(LPCSTR caption, int target, HostCommandProc proc) {
    HoldWorld* world = HoldWorld::current;
    ++world->registerCalls;
    world->registeredCaption = caption ? caption : "";
    world->registeredTarget = target;
    world->registeredProc = proc;
    return world->nextCommandId;
}

int WINAPI RegisterUICallback(UINT command, HostCommandStateProc proc) {
    HoldWorld::current->callbackCommand = command;
    HoldWorld::current->registeredCallback = proc;
    return 1;
}

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
    : logic(nullptr), api(), mailbox("Box1"), currentMailbox("Box1"), nextCommandId(42),
      registerCalls(0), registeredTarget(-1), registeredProc(nullptr), callbackCommand(0),
      registeredCallback(nullptr) {
    current = this;
    folder = MakeFolder();
    dataFolder = folder + "\\data\\";
    CreateDirectoryA(dataFolder.c_str(), nullptr);
    CreateDirectoryA((dataFolder + mailbox).c_str(), nullptr);
    iniPath = folder + "\\Velmora.ini";
    if (!settingsText.empty())
        std::ofstream(iniPath, std::ios::binary) << settingsText;

    api.BKA_GetDataFolder = GetDataFolder;
    api.BKA_GetCurrentMailBox = GetCurrentMailBox;
    api.BKA_CompGetSpecifiedHeader = CompGetSpecifiedHeader;
    api.BKA_CompSetSpecifiedHeader = CompSetSpecifiedHeader;
    api.BKA_RegisterCommand = RegisterCommand;
    api.BKA_RegisterUICallback = RegisterUICallback;

    char modulePath[MAX_PATH] = "";
    GetModuleFileNameA(instance, modulePath, sizeof(modulePath));
    logic = new VelmoraLogic(instance, &api, modulePath);
    logic->settings = new LocalSetting(iniPath.c_str());
    logic->settings->ReadAll();
    logic->mainWindow = new SMainWindow(logic, nullptr);
    logic->delayLogic = new SDelayLogic(&api, logic->settings, nullptr);
}

HoldWorld::~HoldWorld() {
    delete logic->delayLogic;
    logic->delayLogic = nullptr;
    delete logic->mainWindow;
    logic->mainWindow = nullptr;
    delete logic->settings;
    logic->settings = nullptr;
    delete logic;
    SetLocalTimeOverride(nullptr);
    for (HWND window : windows)
        DestroyWindow(window);
    DeleteFileA(iniPath.c_str());
    DeleteFileA((dataFolder + mailbox + "\\Mailbox.ini").c_str());
    RemoveDirectoryA((dataFolder + mailbox).c_str());
    RemoveDirectoryA(dataFolder.c_str());
    RemoveDirectoryA(folder.c_str());
    current = nullptr;
}

HWND HoldWorld::Hold(const std::string& subject, const std::string& to, const std::string& cc,
                     const std::string& bcc, int second) {
    HWND window = CreateWindowA("STATIC", subject.c_str(), WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    windows.push_back(window);
    headers[window] = {{"Subject", subject}, {"To", to}, {"Cc", cc}, {"Bcc", bcc}};
    SYSTEMTIME heldAt = {2026, 12, 1, 7, 9, 5, static_cast<WORD>(second), 0};
    SetLocalTimeOverride(&heldAt);
    logic->delayLogic->Hold(mailbox.c_str(), window);
    return window;
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
    std::string path = dataFolder + mailbox + "\\Mailbox.ini";
    WritePrivateProfileStringA("Account", "Name", name.c_str(), path.c_str());
}

SDelaySenderLogic* HoldWorld::Sender() const {
    return logic->delayLogic ? logic->delayLogic->FindSender(mailbox.c_str()) : nullptr;
}

bool HoldWorld::Paused() const {
    return logic->delayLogic && logic->delayLogic->IsPaused(mailbox.c_str());
}
