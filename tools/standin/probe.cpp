#include "tools/standin/probe.h"

#include <cstring>

#include "tools/standin/console.h"
#include "tools/standin/host_backend.h"
#include "tools/standin/plugin_module.h"

namespace {

int CallByIndex(PluginModule& plugin, int index, bool* called) {
    *called = plugin.HasExport(index);
    if (!*called)
        return 0;
    // The setup callback would open a dialog; it is asked before start, when it must answer 0.
    switch (index) {
    case 0:
        return plugin.OnStart();
    case 1:
        return plugin.OnExit();
    case 2:
        return plugin.OnMenuInit(nullptr, nullptr, 1);
    case 3:
        return plugin.OnOpenFolder("Inbox");
    case 4:
        return plugin.OnOpenMail("1.eml");
    case 5:
        return plugin.OnEveryMinute();
    case 6:
        return plugin.OnOpenCompose(nullptr, 3);
    case 7:
        return plugin.OnOutgoing(nullptr, 1);
    case 8:
        return plugin.OnKeyDispatch(nullptr, 'A', 0);
    case 9:
        return plugin.OnRetrieve("1.eml", "1");
    case 10:
        return plugin.OnSend("1.eml");
    case 11:
        return plugin.OnFinishRetrieve(1);
    case 12:
        return plugin.OnPlugInSetup(nullptr);
    case 13: {
        SPlugInInfo scratch;
        memset(&scratch, 0, sizeof(scratch));
        return plugin.OnPlugInInfo(&scratch);
    }
    case 14:
        return plugin.OnDragDrop("Inbox", "Outbox", 1, 1);
    case 15: {
        int action = 0;
        char* param = nullptr;
        return plugin.OnBeforeFilter2("1.eml", "Inbox", &action, &param);
    }
    }
    return 0;
}

// Setup first (before start), then start, the rest, and exit last.
const int kCallOrder[] = {12, 13, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 1};

} // namespace

int RunProbe(const char* dllPath) {
    PrintLine("host version text: %s", StandinVersion());
    PluginModule plugin;
    if (!plugin.Load(dllPath)) {
        PrintLine("LoadLibrary(%s): failed, error %lu", dllPath, GetLastError());
        return 2;
    }
    PrintLine("LoadLibrary(%s): ok", dllPath);
    PrintLine("exports found: %d of %d", plugin.FoundExports(), PluginModule::ExportCount());

    SPlugInInfo info;
    memset(&info, 0, sizeof(info));
    int infoResult = plugin.OnPlugInInfo ? plugin.OnPlugInInfo(&info) : 0;
    bool accepted = info.name[0] != '\0';
    PrintLine("BKC_OnPlugInInfo -> %d", infoResult);
    PrintLine("  name: %.79s", info.name);
    PrintLine("  vendor: %.79s", info.vendor);
    PrintLine("  version: %.79s", info.version);
    PrintLine("  description: %.255s", info.description);

    for (int index : kCallOrder) {
        bool called = false;
        int result = CallByIndex(plugin, index, &called);
        if (called)
            PrintLine("%s -> %d", PluginModule::ExportName(index), result);
        else
            PrintLine("%s: missing", PluginModule::ExportName(index));
    }
    PrintLine("verdict: %s", accepted ? "accepted (plug-in active)" : "rejected (plug-in inert)");
    return accepted ? 0 : 3;
}
