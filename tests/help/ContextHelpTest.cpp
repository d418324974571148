// Context help shown through HTML Help from the built help file.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include "help/ContextHelp.h"
#include "help/HelpTables.h"

namespace {

std::string HelpFilePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    for (int up = 0; up < 2; ++up)
        folder.resize(folder.find_last_of('\\'));
    return folder + "\\Dervane.chm";
}

// Visible top-level windows of this process.
int VisibleWindowsOfThisProcess()
{
    int count = 0;
    EnumWindows(
        [](HWND hwnd, LPARAM counter) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd))
                ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

class ContextHelp : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override
    {
        help.CloseAll();
        CoUninitialize();
    }
    CContextHelp help{HelpFilePath()};
};

TEST_F(ContextHelp, FindsThePopupTextOfASharedButton)
{
    const std::string* ok = help.PopupText(kHelpIdOk);
    ASSERT_NE(ok, nullptr);
    EXPECT_NE(ok->find("closes"), std::string::npos) << *ok;
    EXPECT_EQ(help.PopupText(0x80000000UL + 999 * 0x10000UL + 1), nullptr);
}

TEST_F(ContextHelp, ShowsTheHelpOfAControlAndClosesIt)
{
    const int before = VisibleWindowsOfThisProcess();
    ASSERT_EQ(help.Show(nullptr, kHelpTable115[1], POINT{100, 100}), 1);
    EXPECT_GT(VisibleWindowsOfThisProcess(), before);
    help.CloseAll();
    EXPECT_EQ(FindWindowA(nullptr, "Dervane Help"), nullptr);
}

TEST_F(ContextHelp, ShowsNothingForAnIdWithoutHelpOrWithoutTheHelpFile)
{
    const int before = VisibleWindowsOfThisProcess();
    EXPECT_EQ(help.Show(nullptr, 0x80000000UL + 999 * 0x10000UL + 1, POINT{0, 0}), 0);
    CContextHelp missing(HelpFilePath() + ".missing");
    EXPECT_EQ(missing.Show(nullptr, kHelpIdOk, POINT{0, 0}), 0);
    EXPECT_EQ(VisibleWindowsOfThisProcess(), before);
}

}  // namespace
