// A plug-in DLL loaded by the stand-in client, with its callbacks resolved by name.
#pragma once
#include <windows.h>

// The host's plug-in information record: four texts at fixed offsets.
struct SPlugInInfo {
    char name[80];
    char vendor[80];
    char version[80];
    char description[256];
};

class PluginModule {
  public:
    typedef int(WINAPI* NoArgProc)();
    typedef int(WINAPI* WindowProc1)(HWND);
    typedef int(WINAPI* WindowModeProc)(HWND, int);
    typedef int(WINAPI* MenuInitProc)(HWND, HMENU, int);
    typedef int(WINAPI* InfoProc)(LPVOID);
    typedef int(WINAPI* TextProc)(LPCSTR);
    typedef int(WINAPI* KeyProc)(HWND, int, int);
    typedef int(WINAPI* RetrieveProc)(LPCSTR, LPCSTR);
    typedef int(WINAPI* CountProc)(int);
    typedef int(WINAPI* DragDropProc)(LPCSTR, LPCSTR, int, int);
    typedef int(WINAPI* FilterProc)(LPCSTR, LPCSTR, int*, char**);

    PluginModule();
    ~PluginModule();

    // LoadLibrary succeeds only when the DLL's entry point returned TRUE.
    bool Load(LPCSTR path);
    bool IsLoaded() const { return module != nullptr; }
    // FreeLibrary, and every callback forgotten with the module.
    void Unload();
    int FoundExports() const;
    static int ExportCount();
    static LPCSTR ExportName(int index);
    bool HasExport(int index) const;

    NoArgProc OnStart;
    NoArgProc OnExit;
    MenuInitProc OnMenuInit;
    TextProc OnOpenFolder;
    TextProc OnOpenMail;
    NoArgProc OnEveryMinute;
    WindowModeProc OnOpenCompose;
    WindowModeProc OnOutgoing;
    KeyProc OnKeyDispatch;
    RetrieveProc OnRetrieve;
    TextProc OnSend;
    CountProc OnFinishRetrieve;
    WindowProc1 OnPlugInSetup;
    InfoProc OnPlugInInfo;
    DragDropProc OnDragDrop;
    FilterProc OnBeforeFilter2;
    HMODULE module;

  private:
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;
};
