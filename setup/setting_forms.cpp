#include "setup/setting_forms.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "res/resource.h"
#include "setup/help_opener.h"
#include "settings/local_setting.h"
#include "setup/text_edit_form.h"
#include "support/int_parse.h"
#include "support/string_list.h"
#include "support/version.h"
#include "ui/win_control.h"

namespace {

const size_t kDomainSize = MAX_PATH;
const char kDomainPrompt[] = "組織内ドメイン";

// Runs the text dialog; true and the entered text (at most size - 1 bytes) after OK.
bool AskDomain(SDialog* owner, const char* caption, const char* initialText, char* text,
               size_t size) {
    STextEditForm* form = new STextEditForm(owner->moduleInstance, owner->window);
    form->SetCaptionText(caption);
    form->SetPrompt(kDomainPrompt);
    form->SetInitialText(initialText);
    bool confirmed = false;
    if (form->DoModal() == IDOK) {
        form->GetEnteredText(text, size);
        confirmed = true;
    }
    delete form;
    return confirmed;
}

// False for a field that is empty, negative or no number: a typo must not switch holding off.
bool ReadDelayField(HWND window, int id, int32_t* minutes) {
    char text[MAX_PATH] = "";
    GetDlgItemTextA(window, id, text, sizeof(text));
    text[sizeof(text) - 1] = '\0';
    return ParseEnteredMinutes(text, minutes);
}

// Names the field and what it takes, then puts the focus back into it.
bool CheckDelayField(HWND window, int id, const char* fieldName) {
    int32_t minutes = 0;
    if (ReadDelayField(window, id, &minutes))
        return true;
    char text[512];
    snprintf(text, sizeof(text),
             "送信保留時間「%s」には 0 以上の数字（分）を入力してください。\n"
             "0 を入力すると保留しません。",
             fieldName);
    MessageBoxA(window, text, "送信保留時間の入力", MB_ICONWARNING);
    SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, id)), TRUE);
    return false;
}

} // namespace

BaseSettingForm::BaseSettingForm(HINSTANCE moduleInstance, HWND parent, UINT templateId)
    : SDialog(moduleInstance, parent, templateId, 0), settings(nullptr) {}

BaseSettingForm::~BaseSettingForm() {}

LocalSettingForm::LocalSettingForm(HINSTANCE moduleInstance, HWND parent)
    : BaseSettingForm(moduleInstance, parent, IDD_SETUP), domainList(nullptr),
      innerTimeEdit(nullptr), outerTimeEdit(nullptr), confirmValues() {}

LocalSettingForm::~LocalSettingForm() {
    delete domainList;
    delete innerTimeEdit;
    delete outerTimeEdit;
}

void LocalSettingForm::ShowVersionCaption() {
    char modulePath[MAX_PATH] = "";
    GetModuleFileNameA(moduleInstance, modulePath, sizeof(modulePath));
    modulePath[sizeof(modulePath) - 1] = '\0';
    SVersion* version = new SVersion(modulePath);
    char caption[MAX_PATH];
    if (version->fileVersion && version->fileVersion[0])
        snprintf(caption, sizeof(caption), "Velmora の設定（バージョン %s）", version->fileVersion);
    else
        snprintf(caption, sizeof(caption), "Velmora の設定");
    delete version;
    SetCaption(caption);
}

void LocalSettingForm::ShowCaptionIcon(HWND window) {
    smallIcon = static_cast<HICON>(LoadImageA(moduleInstance, MAKEINTRESOURCEA(IDI_VELMORA),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

int LocalSettingForm::OnInitDialog(HWND window) {
    domainList = new SListBox(GetDlgItem(window, IDC_DOMAIN_LIST));
    innerTimeEdit = new SEdit(GetDlgItem(window, IDC_INNER_DELAY));
    outerTimeEdit = new SEdit(GetDlgItem(window, IDC_OUTER_DELAY));
    char number[16];
    if (settings) {
        if (settings->innerDomains) {
            for (const SStringNode* node = settings->innerDomains->first; node; node = node->next)
                domainList->AddString(node->text ? node->text : "");
        }
        snprintf(number, sizeof(number), "%d", static_cast<int>(settings->innerDelayTime));
        innerTimeEdit->SetText(number);
        confirmValues = ConfirmValuesOf(*settings);
    }
    ShowVersionCaption();
    if (settings) {
        snprintf(number, sizeof(number), "%d", static_cast<int>(settings->outerDelayTime));
        outerTimeEdit->SetText(number);
    }
    ShowCaptionIcon(window);
    if (settings && settings->PolicyInForce()) {
        ShowWindow(GetDlgItem(window, IDC_SETUP_POLICY_NOTE), SW_SHOW);
        if (settings->PolicyFileRefused())
            SetDlgItemTextA(
                window, IDC_SETUP_POLICY_NOTE,
                "ポリシーファイルを読めないため、\n誤送信の防止を強める側の値で動いています。");
        for (int id : {IDC_DOMAIN_LIST, IDC_DOMAIN_ADD, IDC_DOMAIN_EDIT, IDC_DOMAIN_DELETE})
            GreyIfFixed(window, id, settings, EKeyId::InnerDomains);
        GreyIfFixed(window, IDC_INNER_DELAY, settings, EKeyId::InnerDelayTime);
        GreyIfFixed(window, IDC_OUTER_DELAY, settings, EKeyId::OuterDelayTime);
    }
    return 0;
}

// An entry the administrator set stays; the user's own entries are the user's to change.
bool LocalSettingForm::IsPolicyDomain(HWND window, const char* domain) {
    if (!settings)
        return false;
    const std::string policy = "," + settings->PolicyDomains() + ",";
    if (policy.find("," + std::string(domain) + ",") == std::string::npos)
        return false;
    MessageBoxA(window, "この組織内ドメインは管理者が決めています。変更や削除はできません。",
                "管理者の設定", MB_OK | MB_ICONINFORMATION);
    return true;
}

void LocalSettingForm::AddDomain(HWND) {
    char domain[kDomainSize];
    if (AskDomain(this, "組織内ドメインの追加", "", domain, sizeof(domain)))
        domainList->AddString(domain);
}

void LocalSettingForm::EditDomain(HWND window) {
    char selected[kDomainSize];
    int index = domainList->GetSelectedText(selected, sizeof(selected));
    if (index < 0 || IsPolicyDomain(window, selected))
        return;
    char domain[kDomainSize];
    if (!AskDomain(this, "組織内ドメインの編集", selected, domain, sizeof(domain)))
        return;
    // Put back at the same index: an edited entry keeps its place even in a sorted list.
    domainList->DeleteString(index);
    domainList->InsertString(index, domain);
}

void LocalSettingForm::DeleteDomain(HWND window) {
    char selected[kDomainSize];
    int index = domainList->GetSelectedText(selected, sizeof(selected));
    if (index < 0 || IsPolicyDomain(window, selected))
        return;
    std::vector<char> question(strlen(selected) + 128);
    snprintf(question.data(), question.size(), "[%s] を削除します。よろしいですか？", selected);
    if (MessageBoxA(window, question.data(), "削除の確認", MB_YESNO | MB_ICONQUESTION) == IDYES)
        domainList->DeleteString(index);
}

int LocalSettingForm::OnCommand(HWND window, int id, int, HWND) {
    switch (id) {
    case IDC_DOMAIN_ADD:
        AddDomain(window);
        return 0;
    case IDC_DOMAIN_EDIT:
        EditDomain(window);
        return 0;
    case IDC_DOMAIN_DELETE:
        DeleteDomain(window);
        return 0;
    case IDC_CONFIRM_SETUP:
        EditConfirmValues(window);
        return 0;
    case IDC_SETUP_HELP:
        OpenHelp(moduleInstance, window, settings ? settings->helpUrl : std::string());
        return 0;
    case IDOK:
        if (!CheckDelayField(window, IDC_INNER_DELAY, "組織内ドメインのみ") ||
            !CheckDelayField(window, IDC_OUTER_DELAY, "組織外の宛先を含む") ||
            !DelayFieldAccepted(window, IDC_INNER_DELAY, EKeyId::InnerDelayTime) ||
            !DelayFieldAccepted(window, IDC_OUTER_DELAY, EKeyId::OuterDelayTime))
            return 0;
        StoreValues(window);
        EndDialog(window, IDOK);
        return 1;
    case IDCANCEL:
        EndDialog(window, IDCANCEL);
        return 1;
    default:
        return 0;
    }
}

bool LocalSettingForm::DelayFieldAccepted(HWND window, int id, EKeyId key) {
    int32_t minutes = 0;
    if (!ReadDelayField(window, id, &minutes) || AcceptedByPolicy(window, settings, key, minutes))
        return true;
    SendMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, id)), TRUE);
    return false;
}

void LocalSettingForm::EditConfirmValues(HWND window) {
    SConfirmSettingForm form(moduleInstance, window, confirmValues);
    form.limits = settings;
    if (form.DoModal() == IDOK)
        confirmValues = form.values;
}

void LocalSettingForm::StoreValues(HWND window) {
    if (!settings)
        return;
    if (!settings->innerDomains)
        settings->innerDomains = new SStringList;
    settings->innerDomains->Clear();
    int count = domainList->GetItemCount();
    for (int index = 0; index < count; ++index) {
        char domain[kDomainSize];
        if (domainList->GetItemText(index, domain, sizeof(domain)))
            settings->innerDomains->Append(domain);
    }
    settings->SaveDomains();
    int32_t minutes = 0;
    if (ReadDelayField(window, IDC_INNER_DELAY, &minutes))
        settings->innerDelayTime = minutes;
    if (ReadDelayField(window, IDC_OUTER_DELAY, &minutes))
        settings->outerDelayTime = minutes;
    StoreConfirmValues(confirmValues, settings);
}
