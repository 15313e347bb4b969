#include "plugin/setup_request.h"

#include <string>
#include <vector>

#include "journal/hold_log_text.h"
#include "plugin/velmora_logic.h"
#include "settings/local_setting.h"
#include "setup/setting_forms.h"
#include "setup/setup_save.h"

int RunSetup(VelmoraLogic* logic, HWND owner) {
    if (!logic->settings)
        return 0;
    LocalSettingForm form(logic->Instance(), owner);
    form.settings = logic->settings;
    const std::vector<std::string> before = logic->settings->ValueTexts();
    // Null when the plug-in was ended while the dialog was open.
    if (form.DoModal() == IDOK && form.settings) {
        bool saved = SaveSetupValuesOrWarn(owner, logic->settings);
        // The warning runs a message loop: the plug-in may have ended meanwhile.
        if (!saved)
            logic->LogError(SetupNotSavedLogText().c_str());
        else if (logic->settings) {
            const LocalSetting& settings = *logic->settings;
            logic->LogInfo(SetupSavedLogText(settings.Text(EKeyId::InnerDomains).c_str(),
                                             settings.Int(EKeyId::InnerDelayTime),
                                             settings.Int(EKeyId::OuterDelayTime))
                               .c_str());
            for (const std::string& line : ChangeLogLines(before, settings.ValueTexts()))
                logic->LogInfo(line.c_str());
        }
    }
    return 1;
}
