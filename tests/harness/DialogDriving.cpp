#include "tests/harness/DialogDriving.h"

#include <gtest/gtest.h>

std::vector<RecordedBox> BoxRecorder::boxes;
std::deque<int> BoxRecorder::answers;

int BoxRecorder::Show(HWND owner, const char* text, const char* caption, UINT type)
{
    boxes.push_back({owner, text ? text : "", caption ? caption : "", type});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (type & MB_TYPEMASK) {
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
    }
}

void BoxRecorder::Reset()
{
    boxes.clear();
    answers.clear();
}

std::string WindowText(HWND hwnd)
{
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

void ClickButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    ASSERT_NE(nullptr, button) << "no control " << id;
    SendMessageA(button, BM_CLICK, 0, 0);
}

void TypeText(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

bool SelectListItem(HWND dialog, int id, const std::string& text)
{
    const LRESULT index = SendDlgItemMessageA(dialog, id, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(text.c_str()));
    if (index == LB_ERR)
        return false;
    SendDlgItemMessageA(dialog, id, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // A program's selection sends no notification; the user's click does.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    return true;
}

std::vector<std::string> ListItems(HWND dialog, int id)
{
    std::vector<std::string> items;
    const LRESULT count = SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[1024] = {};
        SendDlgItemMessageA(dialog, id, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
