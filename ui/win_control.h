// Wrappers of a dialog's child controls. Each keeps a copy of its control's text, readable
// after the dialog has closed, and subclasses the control while it exists.
#pragma once
#include <windows.h>

class SWinControl {
  public:
    explicit SWinControl(HWND window);
    LRESULT OnSize(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual ~SWinControl();
    void Attach(HWND window);
    // Copies the control's current text into the cached text.
    void RefreshText();

    // The cached text, cut to size - 1 bytes without splitting a double-byte character.
    void GetText(char* buffer, size_t size) const;
    // An unchanged text leaves both the cache and the control alone.
    void SetText(const char* text);

    static LRESULT CALLBACK ControlSubclassProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR subclassId,
                                                DWORD_PTR refData);

    HWND window;
    int subclassId;
    char* cachedText;

  private:
    void ReadWindowText();
    void Subclass();
    void ReplaceCachedText(const char* text);
    SWinControl(const SWinControl&) = delete;
    SWinControl& operator=(const SWinControl&) = delete;
};

class SButton : public SWinControl {
  public:
    explicit SButton(HWND window) : SWinControl(window) {}
    ~SButton() override;
};

class SEdit : public SWinControl {
  public:
    explicit SEdit(HWND window) : SWinControl(window) {}
    ~SEdit() override;
};

class SLabel : public SWinControl {
  public:
    explicit SLabel(HWND window) : SWinControl(window) {}
    ~SLabel() override;
};

class SListBox : public SWinControl {
  public:
    explicit SListBox(HWND window) : SWinControl(window) {}
    ~SListBox() override;

    int AddString(const char* text);
    int InsertString(int index, const char* text);
    bool DeleteString(int index);
    int GetItemCount();
    // False (buffer untouched) for a bad index or size 0; a long entry is cut to size - 1
    // bytes without splitting a double-byte character.
    bool GetItemText(int index, char* buffer, size_t size);
    // The selected index, or -1 (buffer untouched) when nothing is selected or it cannot be
    // read.
    int GetSelectedText(char* buffer, size_t size);
};

class SListView : public SWinControl {
  public:
    explicit SListView(HWND window) : SWinControl(window) {}
    ~SListView() override;

    // The new row goes last; returns its index.
    int InsertItem(int subItem, const char* text, UINT mask);
    int SetItem(int subItem, int row, const char* text, UINT mask);
    int DeleteAllItems();
    int GetColumnWidth(int column);
    // The next selected row after start (-1: the first), or -1.
    int GetNextSelected(int start);
    int InsertColumn(int index, int subItem, const char* text, int width, int format, UINT mask);
    DWORD SetExtendedStyle(DWORD style);
};
