#include "setup/text_edit_form.h"

#include <cstring>
#include <string>

#include "res/resource.h"
#include "settings/domain_text.h"
#include "support/text_copy.h"
#include "ui/win_control.h"

namespace {

void ReplaceText(char** field, const char* text) {
    char* copy = NewTextCopy(text);
    delete[] * field;
    *field = copy;
}

} // namespace

STextEditForm::STextEditForm(HINSTANCE moduleInstance, HWND parent)
    : SDialog(moduleInstance, parent, IDD_TEXT_EDIT, 0), label(nullptr), edit(nullptr),
      prompt(nullptr), initialText(nullptr), caption(nullptr) {}

STextEditForm::~STextEditForm() {
    delete[] prompt;
    delete[] initialText;
    delete[] caption;
    delete label;
    delete edit;
}

void STextEditForm::SetCaptionText(const char* text) {
    ReplaceText(&caption, text);
}

void STextEditForm::SetPrompt(const char* text) {
    ReplaceText(&prompt, text);
}

void STextEditForm::SetInitialText(const char* text) {
    ReplaceText(&initialText, text);
}

void STextEditForm::GetEnteredText(char* buffer, size_t size) const {
    if (edit) {
        edit->GetText(buffer, size);
    } else if (buffer && size > 0) {
        buffer[0] = '\0';
    }
}

int STextEditForm::OnInitDialog(HWND window) {
    if (caption)
        SetCaption(caption);
    label = new SLabel(GetDlgItem(window, IDC_TEXT_PROMPT));
    edit = new SEdit(GetDlgItem(window, IDC_TEXT_EDIT));
    if (prompt)
        label->SetText(prompt);
    if (initialText)
        edit->SetText(initialText);
    return 1;
}

// A blank in an entry would make it match no address: refuse it rather than keep it.
bool STextEditForm::AcceptDomain(HWND window) {
    edit->RefreshText();
    std::string domain;
    const EDomainCheck check = NormalizeDomain(edit->cachedText, &domain);
    const char* problem = check == EDomainCheck::Empty ? "ドメインを入力してください。"
                          : check == EDomainCheck::BlankInside
                              ? "ドメインに空白は入れられません。\n例：example.co.jp"
                              : nullptr;
    if (problem) {
        MessageBoxA(window, problem, caption ? caption : "組織内ドメイン", MB_OK | MB_ICONWARNING);
        SetFocus(edit->window);
        return false;
    }
    // Shown as it is kept: without the blanks around it and without a leading @.
    edit->SetText(domain.c_str());
    edit->RefreshText();
    return true;
}

int STextEditForm::OnCommand(HWND window, int id, int, HWND) {
    switch (id) {
    case IDOK:
        // Read now: the edit field is gone once the opener looks at the text.
        if (AcceptDomain(window))
            EndDialog(window, IDOK);
        return 1;
    case IDCANCEL:
        EndDialog(window, IDCANCEL);
        return 1;
    default:
        return 0;
    }
}
