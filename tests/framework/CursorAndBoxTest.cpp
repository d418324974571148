#include "framework/CommonDialogs.h"
#include "framework/MessageBoxes.h"
#include "framework/WaitCursor.h"

#include <gtest/gtest.h>

#include <string>

TEST(WaitCursor, ShowsTheHourglassAndPutsThePreviousCursorBack)
{
    HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    HCURSOR wait = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    HCURSOR cross = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_CROSS));
    SetCursor(cross);
    {
        CWaitCursor outer;
        EXPECT_EQ(wait, GetCursor());
        {
            CWaitCursor inner;
            EXPECT_EQ(wait, GetCursor());
        }
        EXPECT_EQ(wait, GetCursor());
    }
    EXPECT_EQ(cross, GetCursor());
    SetCursor(arrow);
}

namespace {

// Found from a timer while the box runs its modal loop: records the box's
// caption and text, then presses the button given.
struct BoxSeen {
    std::string caption;
    std::string text;
    bool found = false;
    int press = IDOK;
    int ticks = 0;
};
BoxSeen g_seen;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM)
{
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(hwnd))
        return TRUE;
    char caption[64] = {};
    GetWindowTextA(hwnd, caption, sizeof caption);
    g_seen.caption = caption;
    char text[256] = {};
    GetDlgItemTextA(hwnd, 0xFFFF, text, sizeof text);
    g_seen.text = text;
    g_seen.found = true;
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(g_seen.press, BN_CLICKED), 0);
    return FALSE;
}

void CALLBACK LookForBox(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_seen.ticks;
    if (!g_seen.found)
        EnumThreadWindows(GetCurrentThreadId(), &FindBox, 0);
    if (!g_seen.found && g_seen.ticks > 100) {
        // Never hang: end whatever box there is with Escape's command.
        HWND box = GetActiveWindow();
        if (box)
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

template <typename F> int RunBox(int press, F show)
{
    g_seen = BoxSeen();
    g_seen.press = press;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &LookForBox);
    const int answer = show();
    KillTimer(nullptr, timer);
    return answer;
}

}  // namespace

TEST(MessageBoxes, ErrorsAndNoticesCarryTheSystemCaptions)
{
    EXPECT_EQ(IDOK, RunBox(IDOK, [] { return ShowErrorBox(nullptr, "Cannot do that"); }));
    EXPECT_EQ("Error", g_seen.caption);
    EXPECT_EQ("Cannot do that", g_seen.text);

    EXPECT_EQ(IDOK, RunBox(IDOK, [] { return ShowOptionsErrorBox(nullptr, "No entry"); }));
    EXPECT_EQ("Options Error", g_seen.caption);

    EXPECT_EQ(IDOK, RunBox(IDOK, [] { return ShowNotice(nullptr, "Done"); }));
    EXPECT_EQ("Notice", g_seen.caption);
    EXPECT_EQ("Done", g_seen.text);
}

TEST(MessageBoxes, QuestionsAnswerTheButtonPressed)
{
    EXPECT_EQ(IDYES, RunBox(IDYES, [] { return AskConfirm(nullptr, "Delete it?"); }));
    EXPECT_EQ("Confirm", g_seen.caption);
    EXPECT_EQ("Delete it?", g_seen.text);

    EXPECT_EQ(IDNO, RunBox(IDNO, [] { return AskQuestion(nullptr, "Hide all?"); }));
    EXPECT_EQ("Question", g_seen.caption);

    EXPECT_EQ(IDCANCEL,
              RunBox(IDCANCEL, [] { return AskConfirmSave(nullptr, "Save it?", MB_OKCANCEL | MB_ICONINFORMATION); }));
    EXPECT_EQ("Confirm Save", g_seen.caption);
}

TEST(CommonDialogs, TheLibraryComesWithTheFirstDialogAndTheChosenColourIsAnswered)
{
    EXPECT_EQ(nullptr, GetModuleHandleA("comdlg32.dll")) << "not loaded before a dialog is asked for";
    COLORREF custom[16] = {};
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof choose;
    choose.rgbResult = RGB(12, 34, 56);
    choose.lpCustColors = custom;
    choose.Flags = CC_ANYCOLOR | CC_RGBINIT;
    EXPECT_EQ(1, RunBox(IDOK, [&] { return ShowChooseColour(choose) ? 1 : 0; }));
    EXPECT_TRUE(g_seen.found);
    EXPECT_EQ(RGB(12, 34, 56), choose.rgbResult);
    EXPECT_NE(nullptr, GetModuleHandleA("comdlg32.dll"));
    EXPECT_EQ(0u, CommonDialogError());
    EXPECT_EQ(0, RunBox(IDCANCEL, [&] { return ShowChooseColour(choose) ? 1 : 0; })) << "cancelled";
}
