// Dervane.exe against the desktop host: the first start, a second start, a
// missing "Resources.dll", and the way out.
#include <gtest/gtest.h>

#include <string>

#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"

namespace {

constexpr DWORD kExitTimeoutMs = 15000;
const std::string kZeroByte(1, '\0');

using ProgramStartTest = ProgramTestBase;

TEST_F(ProgramStartTest, FirstStartStoresTheDefaultsAndShowsTheSheetOnce)
{
    ASSERT_TRUE(m_session.Start());
    // Defaults: features on, white labels on black.
    ASSERT_TRUE(StartReady(m_program, "", RGB(255, 255, 255), RGB(0, 0, 0)));
    EXPECT_TRUE(WaitFor([&] { return ReadProgramBinary("Property General First Time") == kZeroByte; }, 5000));
    EXPECT_TRUE(WaitFor([&] { return m_program.SheetVisible(); }, 5000));
    EXPECT_EQ(m_folder.ExePath(), ReadRunValue());
    EXPECT_EQ(m_folder.PathOf("dervane.exe") + " \"%1\"", ReadAssociationCommand());
    // Only the value of the first start is stored; the pages store theirs on Apply.
    EXPECT_EQ(kMissingValue, ReadProgramBinary("Property General Enabled"));
    EXPECT_EQ(1u, ReadView().listViewSubclassed);

    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    ASSERT_TRUE(StartReady(m_program, "", RGB(255, 255, 255), RGB(0, 0, 0)));
    EXPECT_FALSE(WaitFor([&] { return m_program.SheetVisible(); }, 1500)) << "the sheet opens only at the first start";
    EXPECT_NE(nullptr, m_program.Sheet()) << "it exists, hidden";
}

TEST_F(ProgramStartTest, SecondStartWithoutArgumentsEndsAndTheFirstRunsOn)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");

    ASSERT_TRUE(m_second.Start(m_folder));
    EXPECT_EQ(0, m_second.WaitExit(kExitTimeoutMs));
    EXPECT_TRUE(m_program.Running());
    EXPECT_EQ(main, m_program.FindWindowOf("CTrayWnd"));
    EXPECT_EQ(main, FindWindowA("CTrayWnd", nullptr)) << "one main window only";
    EXPECT_TRUE(TrayIconExists(main));
    EXPECT_FALSE(m_folder.Exists("msg.dat"));
    EXPECT_TRUE(WaitLook(kText, kBack, 2000)) << "the desktop keeps the running instance's look";
    EXPECT_EQ(0, m_folder.CountLogLines("Dropped"));
}

TEST_F(ProgramStartTest, MissingResourcesLogsTheLineShowsTheBoxAndEnds)
{
    ASSERT_TRUE(m_folder.Create(TestFolderName(), false));
    ASSERT_TRUE(m_session.Start());
    const View before = ReadView();
    ASSERT_TRUE(m_program.Start(m_folder));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_program.FindWindowOf("#32770", "Error")) != nullptr; }, 20000));
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ("Cannot locate library file \"Resources.dll\"", text);
    EXPECT_EQ(1, m_folder.CountLogLines("> WARNING: Cannot locate library file \"Resources.dll\""));

    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    const View after = ReadView();
    EXPECT_EQ(0u, after.listViewSubclassed);
    EXPECT_EQ(before.textBkColor, after.textBkColor);
}

TEST_F(ProgramStartTest, ExitRemovesTheTrayIconAndGivesTheDesktopBack)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    const View before = ReadView();
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    EXPECT_TRUE(TrayIconExists(main));
    const int icons = TrayWindowIconCount();
    EXPECT_GE(icons, 1);
    const View running = ReadView();
    EXPECT_EQ(1u, running.listViewSubclassed);
    EXPECT_EQ(1u, running.defViewSubclassed);

    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_TRUE(WaitWindowGone(main));
    EXPECT_EQ(icons - 1, TrayWindowIconCount());
    EXPECT_FALSE(TrayIconExists(main));
    ASSERT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    const View after = ReadView();
    EXPECT_EQ(0u, after.listViewSubclassed);
    EXPECT_EQ(0u, after.defViewSubclassed);
    EXPECT_EQ(before.textColor, after.textColor);
    EXPECT_EQ(before.textBkColor, after.textBkColor);
    EXPECT_EQ(before.style, after.style);
}

}  // namespace
