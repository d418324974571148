// Dervane.exe and the shell: the tray icon and its commands, switching the
// features off and on, and a shell that ends and starts again.
#include <gtest/gtest.h>

#include <string>

#include "common/AppMessages.h"
#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"

namespace {

constexpr DWORD kExitTimeoutMs = 15000;
constexpr UINT kDisable = 40004;

class ProgramShellTest : public ProgramTestBase {
protected:
    void SetUp() override
    {
        ProgramTestBase::SetUp();
        if (!HasFatalFailure())
            StoreKnownLook();
    }
};

TEST_F(ProgramShellTest, DisableTwiceGivesTheDesktopItsOwnStateAndBack)
{
    // One hide rule, switched on: Notes.txt is hidden while the features are on.
    ASSERT_TRUE(m_folder.WriteFile("IconHide.txt",
                                   "KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\n"
                                   "ENTRY_0\tnotes.*\t0\r\n"));
    const BYTE on = 1;
    ASSERT_TRUE(WriteProgramBinary("Property Icon Hide Enabled", &on, 1));
    ASSERT_TRUE(m_session.Start());
    const View own = ReadView();
    CDesktopHostClient::ItemRecord notes = {};
    ASSERT_TRUE(Host().FindItem("Notes.txt", notes));
    const POINT shown = {notes.x, notes.y};
    const auto notesAtItsPlace = [&] {
        return Host().FindItem("Notes.txt", notes) && notes.x == shown.x && notes.y == shown.y;
    };
    ASSERT_TRUE(StartReady(m_program));
    EXPECT_TRUE(WaitFor([&] { return !notesAtItsPlace(); }, 10000)) << "hidden by the rule";
    const HWND main = m_program.FindWindowOf("CTrayWnd");

    // The command takes the new state from the check mark of "&Disable"
    // (menus of another process cannot be read under Wine), so the second
    // switch only comes out right when the first one set the mark.
    ASSERT_TRUE(m_program.Command(kDisable));
    EXPECT_TRUE(WaitLook(own.textColor, own.textBkColor)) << "features off: the desktop's own label colours";
    EXPECT_TRUE(WaitFor(notesAtItsPlace, 10000)) << "and its hidden icons back";
    EXPECT_TRUE(TrayIconExists(main));
    EXPECT_EQ(1u, ReadView().listViewSubclassed) << "still attached, only switched off";

    ASSERT_TRUE(m_program.Command(kDisable));
    EXPECT_TRUE(WaitLook(kText, kBack));
    EXPECT_TRUE(WaitFor([&] { return !notesAtItsPlace(); }, 10000)) << "hidden again";
    // Switching from the tray menu stores nothing: the General page does on Apply.
    EXPECT_EQ(kMissingValue, ReadProgramBinary("Property General Enabled"));
}

TEST_F(ProgramShellTest, DoubleClickOnTheTrayIconShowsTheSheet)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    EXPECT_FALSE(m_program.SheetVisible());
    // The tray's callback: wParam the icon's id, lParam the mouse message.
    PostMessageA(main, WMAPP_TRAY_NOTIFY, kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitFor([&] { return m_program.SheetVisible(); }, 5000));
    // Its close box only hides it.
    PostMessageA(m_program.Sheet(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitFor([&] { return !m_program.SheetVisible(); }, 5000));
    EXPECT_NE(nullptr, m_program.Sheet());
    EXPECT_TRUE(m_program.Running());
}

TEST_F(ProgramShellTest, RightClickOnTheTrayIconShowsTheMenu)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    PostMessageA(main, WMAPP_TRAY_NOTIFY, kTrayIconId, WM_RBUTTONUP);
    HWND menu = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (menu = m_program.FindWindowOf("#32768")) && IsWindowVisible(menu); }, 5000));
    // What ends a menu when its owner loses the mouse.
    PostMessageA(main, WM_CANCELMODE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !menu || !IsWindowVisible(menu); }, 10000));
    EXPECT_TRUE(m_program.Running());
    // And the window still answers its commands.
    ASSERT_TRUE(m_program.Command(kDisable));
    EXPECT_TRUE(WaitFor(
        [&] {
            View v = {};
            return Host().View(v) && v.textBkColor != kBack;
        },
        10000));
}

TEST_F(ProgramShellTest, HelpWithoutAHelpFileSaysSo)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    ASSERT_FALSE(m_folder.Exists("Dervane.chm"));
    ASSERT_TRUE(m_program.Command(40005));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_program.FindWindowOf("#32770", "Error")) != nullptr; }, 10000));
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_STREQ("Cannot start HTML Help! Internet Explorer 3 or higher required.\n"
                 "Also check that file Dervane.chm is present.",
                 text);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }, 10000));
    EXPECT_TRUE(m_program.Running());
}

// The shell ends and comes back, losing its tray icons as a restarted shell
// does: the icon is added again, and the new desktop list view is
// subclassed and shows the configured label colours.
TEST_F(ProgramShellTest, AfterAShellRestartTheIconAndTheLookComeBack)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    const HWND oldListView = Host().ListView();

    m_session.Stop();
    ASSERT_TRUE(RemoveTrayIcon(main));
    ASSERT_FALSE(TrayIconExists(main));
    ASSERT_TRUE(m_session.Start());
    ASSERT_NE(oldListView, Host().ListView());

    EXPECT_TRUE(WaitFor([&] { return TrayIconExists(main); }, 10000));
    EXPECT_TRUE(WaitLook(kText, kBack));
    const View view = ReadView();
    EXPECT_EQ(1u, view.listViewSubclassed);
    EXPECT_EQ(1u, view.defViewSubclassed);
    EXPECT_TRUE(m_program.Running());

    // Switching still reaches the new desktop.
    ASSERT_TRUE(m_program.Command(kDisable));
    EXPECT_TRUE(WaitFor(
        [&] {
            View v = {};
            return Host().View(v) && v.textBkColor != kBack;
        },
        10000));
}

// "TaskbarCreated" without a lost icon (Wine's notification area outlives
// the desktop host): the icon stays the program's own and goes at exit.
TEST_F(ProgramShellTest, AnIconThatSurvivedTheRestartStillGoesAtExit)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    m_session.Stop();
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(WaitLook(kText, kBack));
    EXPECT_TRUE(TrayIconExists(main));
    const int icons = TrayWindowIconCount();

    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_TRUE(WaitWindowGone(main));
    EXPECT_EQ(icons - 1, TrayWindowIconCount());
    ASSERT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(0u, ReadView().listViewSubclassed);
}

// The window that owns the custom tray icons: the program's message-only
// window of that class.
HWND FindCustomIconsWindow()
{
    return FindWindowExA(HWND_MESSAGE, nullptr, "DervaneTrayIcons", nullptr);
}

// The custom tray icons come with the start, are back after a
// "TaskbarCreated" of a shell that lost them, and go at exit.
TEST_F(ProgramShellTest, CustomTrayIconsComeBackAfterTaskbarCreatedAndGoAtExit)
{
    ASSERT_TRUE(m_folder.WriteFile("TrayIcons.txt",
                                   "KTX_FILE\tDERVANE TRAY ICONS\r\nVERSION\t1.0\r\n"
                                   "ENTRY_0\tOne\t\t0\r\nENTRY_0_ITEM_0\t#%#\r\n"
                                   "ENTRY_1\tTwo\t\t0\r\nENTRY_1_ITEM_0\t#%#\r\n"));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    const HWND owner = FindCustomIconsWindow();
    ASSERT_NE(nullptr, owner);
    const auto bothShown = [&] { return TrayIconExists(owner, 305) && TrayIconExists(owner, 306); };
    ASSERT_TRUE(WaitFor(bothShown, 10000));
    const int icons = TrayWindowIconCount();

    ASSERT_TRUE(RemoveTrayIcon(owner, 305));
    ASSERT_TRUE(RemoveTrayIcon(owner, 306));
    ASSERT_FALSE(TrayIconExists(owner, 305));
    const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    SendMessageTimeoutA(main, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_TRUE(WaitFor(bothShown, 10000));
    EXPECT_EQ(icons, TrayWindowIconCount());
    // Once more, with nothing lost: changed, not added twice.
    SendMessageTimeoutA(main, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_EQ(icons, TrayWindowIconCount());
    EXPECT_TRUE(bothShown());

    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_TRUE(WaitWindowGone(main));
    EXPECT_EQ(icons - 3, TrayWindowIconCount());
    ASSERT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
}

// The screen grows under a shell that leaves its windows as they were (and
// puts the icons in columns a moment later): only the main window's
// handling of the display change (the library told to fit the desktop to
// the new screen) makes the list view cover it, and the icons follow the
// larger view.
TEST_F(ProgramShellTest, DisplayChangeFitsTheDesktopToTheNewScreen)
{
    m_session.SetHostArguments("/keep-size /rearrange");
    ASSERT_TRUE(m_session.StartOnVirtualDesktop(TestFolderName(), 800, 600));
    CDesktopHostClient::ItemRecord notes = {};
    ASSERT_TRUE(Host().FindItem("Notes.txt", notes));
    ASSERT_TRUE(Host().Move(notes.index, 500, 400));
    m_program.SetDesktop(m_session.DesktopName());
    ASSERT_TRUE(StartReady(m_program));
    const auto size = [](const DesktopHostProtocol::RectRecord& r) {
        return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
    };
    ASSERT_EQ("800x600", size(ReadView().listViewRect));

    const std::string displayMode = "\"" + CChildProcess::ModuleFolder() + "DisplayMode.exe\" 1024 768";
    ASSERT_EQ(0, m_session.RunOnDesktop(displayMode, 20000));
    EXPECT_TRUE(WaitFor([&] { return size(ReadView().listViewRect) == "1024x768"; }, 10000))
        << "list view " << size(ReadView().listViewRect);
    const View view = ReadView();
    EXPECT_EQ("800x600", size(view.progmanRect)) << "the host itself did not follow";
    EXPECT_EQ(1u, view.displayChanges);
    // No layout for 1024x768 in the program folder: the icons are scaled,
    // after the shell had put them in columns.
    EXPECT_TRUE(WaitFor(
        [&] {
            return ReadView().shellArranges == 1 && Host().FindItem("Notes.txt", notes) && notes.x == 640 &&
                notes.y == 512;
        },
        10000))
        << notes.x << "," << notes.y;
}

// A remote session that begins is followed as a display change: here the
// monitors change without any announcement the program sees.
TEST_F(ProgramShellTest, ARemoteSessionIsFollowedAsADisplayChange)
{
    m_session.SetHostArguments("/keep-size");
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND main = m_program.FindWindowOf("CTrayWnd");
    const View before = ReadView();
    ASSERT_TRUE(Host().ServeMonitors("0,0,1024,768;-800,100,800,600"));
    ASSERT_EQ(before.listViewRect.left, ReadView().listViewRect.left) << "the host alone does not fit the view";

    PostMessageA(main, WM_WTSSESSION_CHANGE, WTS_REMOTE_CONNECT, 1);
    EXPECT_TRUE(WaitFor([&] { return ReadView().listViewRect.left == -800; }, 10000))
        << "the view spans both monitors from " << ReadView().listViewRect.left;
    Host().ServeMonitors("");
}

}  // namespace
