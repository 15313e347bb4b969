#include "setup/setup_save.h"

#include <string>

#include "settings/local_setting.h"

bool SaveSetupValuesOrWarn(HWND owner, LocalSetting* settings) {
    if (settings->SaveSetupValues())
        return true;
    const std::string text = std::string("設定を保存できませんでした。\n") + settings->Path() +
                             "\nこの設定は今回の起動中だけ有効です。";
    MessageBoxA(owner, text.c_str(), "設定の保存", MB_OK | MB_ICONWARNING);
    return false;
}
