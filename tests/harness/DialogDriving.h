// What the dialog and page tests share: message boxes recorded and answered
// from a queue, and the controls of a dialog worked as the user would.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

// Message boxes: recorded, and answered from a queue (then with the refusing
// button: No, Cancel or OK).
struct RecordedBox {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

class BoxRecorder {
public:
    static int Show(HWND owner, const char* text, const char* caption, UINT type);
    static void Reset();
    static std::vector<RecordedBox> boxes;
    static std::deque<int> answers;
};

// The text of a window.
std::string WindowText(HWND hwnd);
// Clicks a button of a dialog as the user would (BM_CLICK).
void ClickButton(HWND dialog, int id);
// Types text into an edit control (WM_SETTEXT, which sends EN_CHANGE).
void TypeText(HWND dialog, int id, const std::string& text);
// Selects a list box item by its text and notifies the dialog (LBN_SELCHANGE); false if not there.
bool SelectListItem(HWND dialog, int id, const std::string& text);
// The items of a list box, in its order.
std::vector<std::string> ListItems(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
