#include "tools/standin/plugin_module.h"

#include <cstddef>

#include "tools/standin/shell_seam.h"

namespace {

struct SExport {
    const char* name;
    size_t offset;
};

#define PLUGIN_EXPORT_ENTRY(field)                                                                 \
    { "BKC_" #field, offsetof(PluginModule, field) }

const SExport kExports[] = {
    PLUGIN_EXPORT_ENTRY(OnStart),       PLUGIN_EXPORT_ENTRY(OnExit),
    PLUGIN_EXPORT_ENTRY(OnMenuInit),    PLUGIN_EXPORT_ENTRY(OnOpenFolder),
    PLUGIN_EXPORT_ENTRY(OnOpenMail),    PLUGIN_EXPORT_ENTRY(OnEveryMinute),
    PLUGIN_EXPORT_ENTRY(OnOpenCompose), PLUGIN_EXPORT_ENTRY(OnOutgoing),
    PLUGIN_EXPORT_ENTRY(OnKeyDispatch), PLUGIN_EXPORT_ENTRY(OnRetrieve),
    PLUGIN_EXPORT_ENTRY(OnSend),        PLUGIN_EXPORT_ENTRY(OnFinishRetrieve),
    PLUGIN_EXPORT_ENTRY(OnPlugInSetup), PLUGIN_EXPORT_ENTRY(OnPlugInInfo),
    PLUGIN_EXPORT_ENTRY(OnDragDrop),    PLUGIN_EXPORT_ENTRY(OnBeforeFilter2),
};

#undef PLUGIN_EXPORT_ENTRY

FARPROC* Slot(PluginModule* plugin, int index) {
    return reinterpret_cast<FARPROC*>(reinterpret_cast<char*>(plugin) + kExports[index].offset);
}

} // namespace

PluginModule::PluginModule()
    : OnStart(nullptr), OnExit(nullptr), OnMenuInit(nullptr), OnOpenFolder(nullptr),
      OnOpenMail(nullptr), OnEveryMinute(nullptr), OnOpenCompose(nullptr), OnOutgoing(nullptr),
      OnKeyDispatch(nullptr), OnRetrieve(nullptr), OnSend(nullptr), OnFinishRetrieve(nullptr),
      OnPlugInSetup(nullptr), OnPlugInInfo(nullptr), OnDragDrop(nullptr), OnBeforeFilter2(nullptr),
      module(nullptr) {}

PluginModule::~PluginModule() {
    if (module)
        FreeLibrary(module);
}

void PluginModule::Unload() {
    if (module)
        FreeLibrary(module);
    module = nullptr;
    OnStart = OnExit = OnEveryMinute = nullptr;
    OnMenuInit = nullptr;
    OnOpenFolder = OnOpenMail = OnSend = nullptr;
    OnOpenCompose = OnOutgoing = nullptr;
    OnKeyDispatch = nullptr;
    OnRetrieve = nullptr;
    OnFinishRetrieve = nullptr;
    OnPlugInSetup = nullptr;
    OnPlugInInfo = nullptr;
    OnDragDrop = nullptr;
    OnBeforeFilter2 = nullptr;
}

bool PluginModule::Load(LPCSTR path) {
    module = LoadLibraryA(path);
    if (!module)
        return false;
    for (int i = 0; i < ExportCount(); ++i)
        *Slot(this, i) = GetProcAddress(module, kExports[i].name);
    // Nothing the plug-in asks the shell to open is started: the request is recorded.
    ShellSeam::Install(module);
    return true;
}

int PluginModule::ExportCount() {
    return sizeof(kExports) / sizeof(kExports[0]);
}

LPCSTR PluginModule::ExportName(int index) {
    return kExports[index].name;
}

bool PluginModule::HasExport(int index) const {
    return *Slot(const_cast<PluginModule*>(this), index) != nullptr;
}

int PluginModule::FoundExports() const {
    int found = 0;
    for (int i = 0; i < ExportCount(); ++i)
        found += HasExport(i) ? 1 : 0;
    return found;
}
