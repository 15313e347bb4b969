// The base of a plug-in's logic: one virtual operation per host callback.
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
    virtual int OnOpenFolder(LPCSTR folder);
    virtual int OnOpenMail(LPCSTR mail);
    virtual int OnEveryMinute();
    virtual int OnOpenCompose(HWND compose, int mode);
    virtual int OnKeyDispatch(HWND window, int key, int shift);
    virtual int OnRetrieve(LPCSTR mail, LPCSTR mailId);
    virtual int OnSend(LPCSTR mail);
    virtual int OnFinishRetrieve(int count);
    virtual int OnDragDrop(LPCSTR target, LPCSTR source, int count, int effect);
    virtual int OnBeforeFilter2(LPCSTR message, LPCSTR mailbox, int* action, char** param);
    virtual void SetMarkOfTheWeb(LPCSTR path);

    HINSTANCE Instance() const { return instance; }
    SHostApi* HostApi() const { return hostApi; }

  protected:
    HINSTANCE instance;
    SHostApi* hostApi;

  private:
    SPluginLogic(const SPluginLogic&) = delete;
    SPluginLogic& operator=(const SPluginLogic&) = delete;
};
