// The host's setup request: the setup dialog, and the settings it confirmed written out.
#include "delay/velmora_logic.h"
#include "settings/local_setting.h"
#include "settings/setting_forms.h"
#include "settings/setup_save.h"

int VelmoraLogic::OnPlugInSetup(HWND owner) {
    if (!settings)
        return 0;
    LocalSettingForm* form = nullptr;
    // Called by the host: nothing may unwind into it.
    try {
        form = new LocalSettingForm(instance, owner);
        form->logic = this;
        form->settings = settings;
        if (form->DoModal() == IDOK)
            SaveSetupValuesOrWarn(owner, settings);
    } catch (...) {
    }
    delete form;
    return 1;
}
