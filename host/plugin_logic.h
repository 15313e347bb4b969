// The base of a plug-in's logic: one virtual operation per host callback it answers; the
// others the exports answer themselves.
#pragma once
#include <windows.h>

#include "support/log_target.h"

struct SHostApi;

class SPluginLogic : public SLogTarget {
  public:
    SPluginLogic(HINSTANCE instance, SHostApi* hostApi);
    ~SPluginLogic() override;

    virtual int OnPlugInInfo(LPVOID info);
    virtual int OnPlugInSetup(HWND owner);
    virtual int OnStart();
    virtual int OnExit();
    virtual int OnOutgoing(HWND compose, int mode);
    virtual int OnEveryMinute();
    virtual int OnOpenCompose(HWND compose, int mode);
    void SetMarkOfTheWeb(LPCSTR path);

    HINSTANCE Instance() const { return instance; }
    SHostApi* HostApi() const { return hostApi; }

  protected:
    HINSTANCE instance;
    SHostApi* hostApi;

  private:
    SPluginLogic(const SPluginLogic&) = delete;
    SPluginLogic& operator=(const SPluginLogic&) = delete;
};
