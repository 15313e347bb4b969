#include "setup/setting_forms.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "res/resource.h"
#include "settings/local_setting.h"
#include "setup/confirm_setting_form.h"
#include "setup/help_opener.h"
#include "setup/key_controls.h"
#include "setup/text_edit_form.h"
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

const char kTimeRefusalCaption[] = "送信保留時間の入力";

// The domain list and its buttons follow the key's policy; the form fills and reads the list.
const SKeyControl kSetupControls[] = {
    {IDC_DOMAIN_LIST, EKeyId::InnerDomains, EKeyControl::Own, 0, nullptr, nullptr},
    {IDC_DOMAIN_ADD, EKeyId::InnerDomains, EKeyControl::Own, 0, nullptr, nullptr},
    {IDC_DOMAIN_EDIT, EKeyId::InnerDomains, EKeyControl::Own, 0, nullptr, nullptr},
    {IDC_DOMAIN_DELETE, EKeyId::InnerDomains, EKeyControl::Own, 0, nullptr, nullptr},
    {IDC_INNER_DELAY, EKeyId::InnerDelayTime, EKeyControl::Number, 0,
     "送信保留時間「組織内ドメインのみ」には 0 以上の数字（分）を入力してください。\n"
     "0 を入力すると保留しません。",
     kTimeRefusalCaption},
    {IDC_OUTER_DELAY, EKeyId::OuterDelayTime, EKeyControl::Number, 0,
     "送信保留時間「組織外の宛先を含む」には 0 以上の数字（分）を入力してください。\n"
     "0 を入力すると保留しません。",
     kTimeRefusalCaption},
};

} // namespace

BaseSettingForm::BaseSettingForm(HINSTANCE moduleInstance, HWND parent, UINT templateId)
    : SDialog(moduleInstance, parent, templateId, 0), settings(nullptr) {}

BaseSettingForm::~BaseSettingForm() {}

LocalSettingForm::LocalSettingForm(HINSTANCE moduleInstance, HWND parent)
    : BaseSettingForm(moduleInstance, parent, IDD_SETUP), domainList(nullptr) {}

LocalSettingForm::~LocalSettingForm() {
    delete domainList;
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
    ShowVersionCaption();
    ShowCaptionIcon(window);
    if (!settings)
        return 0;
    values = settings->Values();
    const SStringList& domains = values.List(EKeyId::InnerDomains);
    for (const SStringNode* node = domains.first; node; node = node->next)
        domainList->AddString(node->text ? node->text : "");
    ShowKeyValues(this, KeyControls(kSetupControls), values, settings);
    if (settings->PolicyInForce())
        ShowItem(IDC_SETUP_POLICY_NOTE, true);
    if (settings->PolicyFileRefused())
        SetDlgItemTextA(
            window, IDC_SETUP_POLICY_NOTE,
            "ポリシーファイルを読めないため、\n誤送信の防止を強める側の値で動いています。");
    return 0;
}

// An entry the administrator set stays; the user's own entries are the user's to change.
bool LocalSettingForm::IsPolicyDomain(HWND window, const char* domain) {
    if (!settings)
        return false;
    if (!ListHas(settings->PolicyList(EKeyId::InnerDomains).c_str(), domain))
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
        OpenHelp(moduleInstance, window,
                 settings ? settings->Text(EKeyId::HelpUrl) : std::string());
        return 0;
    case IDOK:
        // The dialog stays open while a value may not be taken.
        if (!ReadKeyValues(this, KeyControls(kSetupControls), settings, &values))
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

void LocalSettingForm::EditConfirmValues(HWND window) {
    SConfirmSettingForm form(moduleInstance, window, values);
    form.limits = settings;
    if (form.DoModal() == IDOK)
        values = form.values;
}

void LocalSettingForm::StoreValues(HWND) {
    if (!settings)
        return;
    std::string domains;
    int count = domainList->GetItemCount();
    for (int index = 0; index < count; ++index) {
        char domain[kDomainSize];
        if (domainList->GetItemText(index, domain, sizeof(domain)))
            domains += (domains.empty() ? "" : ",") + std::string(domain);
    }
    values.Set(EKeyId::InnerDomains, domains);
    StoreKeyValues(KeyControls(kSetupControls), values, settings);
    StoreKeyValues(ConfirmControls(), values, settings);
}
