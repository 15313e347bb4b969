// Finds this process's dialogs and message boxes and works their controls from inside.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace DialogDriver {

// The topmost enabled, visible dialog whose caption starts with the prefix; null if none.
HWND FindDialog(const std::string& captionPrefix);
// The visible dialog owned by that window whose caption starts with the prefix; null if none.
HWND FindOwnedDialog(HWND owner, const std::string& captionPrefix);
// The topmost enabled message box whose text starts with the given text; null if none.
HWND FindMessageBox(const std::string& text);
bool AnyDialogShown();
// The topmost visible dialog or message box of this process, enabled or not; null if none.
HWND TopDialog();
bool IsListView(HWND control);
std::string WindowText(HWND window);
// Selects exactly the given rows of a list view or list box, as a click would.
bool SelectRows(HWND dialog, int controlId, const std::vector<int>& rows);
int RowCount(HWND control);
// A list view row's check box, set with the Space key as the user would.
void SetRowTicked(HWND list, int row, bool ticked);
bool IsRowTicked(HWND list, int row);
// A key pressed while the control has the focus, through the dialog's own message loop.
void PressKey(HWND control, UINT key);
std::string CellText(HWND control, int row, int column);
// "\n" in a scenario text stands for a line break (read without splitting a double-byte
// character).
std::string Unescape(const std::string& text);

} // namespace DialogDriver
