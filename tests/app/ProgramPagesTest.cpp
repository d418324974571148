// The General and About pages of the running program, driven through their
// controls as a user would click them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"

namespace {

constexpr DWORD kExitTimeoutMs = 15000;
const std::string kZeroByte(1, '\0');
const std::string kOneByte(1, '\1');

class ProgramPagesTest : public ProgramTestBase {
protected:
    static void Click(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }
};

TEST_F(ProgramPagesTest, GeneralPageApplyStoresTheSwitchesAndTheStartEntry)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND page = ShowPage(1);
    ASSERT_NE(nullptr, page);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1074))) << "Apply is off until something changes";
    EXPECT_EQ(m_folder.ExePath(), ReadRunValue());

    Click(page, 1070);  // "Run Dervane when your computer first starts up." off
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 1074)));
    Click(page, 1074);  // Apply
    EXPECT_TRUE(WaitFor([] { return ReadRunValue() == kMissingValue; }, 5000)) << "the Run value is gone";
    EXPECT_EQ(kZeroByte, ReadProgramBinary("Property General Run On Boot"));
    EXPECT_EQ(kOneByte, ReadProgramBinary("Property General Enabled"));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 1074)));

    Click(page, 1070);  // on again, and OK: applied, and the sheet hides
    Click(page, 1072);
    EXPECT_TRUE(WaitFor([&] { return ReadRunValue() == m_folder.ExePath(); }, 5000));
    EXPECT_TRUE(WaitFor([&] { return !m_program.SheetVisible(); }, 5000));
}

TEST_F(ProgramPagesTest, GeneralPageSwitchesTheFeaturesOffAndOn)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    const View shell = ReadView();
    ASSERT_TRUE(StartReady(m_program));
    const HWND page = ShowPage(1);
    ASSERT_NE(nullptr, page);
    Click(page, 1069);  // "Enable features from other pages." off
    Click(page, 1074);
    EXPECT_TRUE(WaitLook(shell.textColor, shell.textBkColor)) << "the desktop's own look is back";
    EXPECT_EQ(kZeroByte, ReadProgramBinary("Property General Enabled"));
    Click(page, 1069);
    Click(page, 1074);
    EXPECT_TRUE(WaitLook(kText, kBack));
}

TEST_F(ProgramPagesTest, AboutPageExitEndsTheProgramAndGivesTheDesktopBack)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND page = ShowPage(0);
    ASSERT_NE(nullptr, page);
    char version[64] = "";
    GetDlgItemTextA(page, 1057, version, sizeof version);
    EXPECT_STREQ("Version " DERVANE_VERSION, version) << "the version of the program's version record";
    Click(page, 1040);  // "Exit"
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(0u, ReadView().listViewSubclassed);
}

// Windows asks whether the session may end: the icons go back to where the
// program found them at its start, and the program runs on.
TEST_F(ProgramPagesTest, EndOfSessionPutsTheIconsBackWhereTheyWereFound)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    CDesktopHostClient::ItemRecord notes = {};
    ASSERT_TRUE(Host().FindItem("Notes.txt", notes));
    const POINT found = {notes.x, notes.y};
    ASSERT_TRUE(StartReady(m_program));
    ASSERT_TRUE(Host().Move(notes.index, found.x + 200, found.y + 150));
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    ASSERT_NE(nullptr, main);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer));
    EXPECT_NE(0u, answer) << "the session may end";
    ASSERT_TRUE(Host().FindItem("Notes.txt", notes));
    EXPECT_EQ(found.x, notes.x);
    EXPECT_EQ(found.y, notes.y);
    EXPECT_TRUE(m_program.Running());
}

}  // namespace
