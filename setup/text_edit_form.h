// A prompt and one line of text, for adding or editing one inner domain.
#pragma once
#include <windows.h>

#include "ui/dialog.h"

class SLabel;
class SEdit;

class STextEditForm : public SDialog {
  public:
    STextEditForm(HINSTANCE moduleInstance, HWND parent);
    int OnInitDialog(HWND window) override;
    int OnCommand(HWND window, int id, int notifyCode, HWND controlWindow) override;
    ~STextEditForm() override;

    // Each keeps its own copy; null clears. The caption is shown once the window exists.
    void SetCaptionText(const char* text);
    void SetPrompt(const char* text);
    void SetInitialText(const char* text);
    // The domain accepted at OK (trimmed, without a leading @), cut to size - 1 bytes without
    // splitting a character.
    void GetEnteredText(char* buffer, size_t size) const;

    bool AcceptDomain(HWND window);

    SLabel* label;
    SEdit* edit;
    char* prompt;
    char* initialText;
    char* caption;
};
