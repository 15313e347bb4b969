#include "setup/settings_report_form.h"

#include "res/resource.h"
#include "settings/local_setting.h"
#include "settings/setting_report.h"
#include "support/version.h"

SSettingsReportForm::SSettingsReportForm(HINSTANCE moduleInstance, HWND parent,
                                         const std::string& text)
    : SDialog(moduleInstance, parent, IDD_SETTINGS_REPORT, 0), text(text) {}

int SSettingsReportForm::OnInitDialog(HWND window) {
    HWND edit = GetDlgItem(window, IDC_REPORT_TEXT);
    // Tab stops wide enough for a key's name and a source's.
    const int stops[] = {75, 165, 300};
    SendMessageA(edit, EM_SETTABSTOPS, 3, reinterpret_cast<LPARAM>(stops));
    SetWindowTextA(edit, text.c_str());
    SetFocus(GetDlgItem(window, IDCANCEL));
    return 0; // the focus is set
}

int SSettingsReportForm::OnCommand(HWND window, int id, int, HWND) {
    if (id == IDC_REPORT_COPY) {
        HWND edit = GetDlgItem(window, IDC_REPORT_TEXT);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, WM_COPY, 0, 0);
        return 0;
    }
    if (id == IDCANCEL || id == IDOK)
        EndDialog(window, id);
    return 0;
}

std::string SettingsReportOf(HINSTANCE moduleInstance, const LocalSetting& settings) {
    char modulePath[MAX_PATH] = "";
    GetModuleFileNameA(moduleInstance, modulePath, sizeof(modulePath));
    modulePath[sizeof(modulePath) - 1] = '\0';
    SVersion version(modulePath);
    SReportHeader header;
    header.version = version.fileVersion ? version.fileVersion : "";
    header.settingsPath = settings.Path() ? settings.Path() : "";
    header.policyPath = settings.Policy().filePath;
    header.policyRefused = settings.Policy().refusedFile;
    return SettingsReportText(header, settings.MergedValues());
}

void ShowSettingsReport(HINSTANCE moduleInstance, HWND owner, const LocalSetting& settings) {
    SSettingsReportForm form(moduleInstance, owner, SettingsReportOf(moduleInstance, settings));
    form.DoModal();
}
