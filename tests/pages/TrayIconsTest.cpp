// The custom tray icons with no page at all: their owner alone, started as
// the program starts it, with the test host in place of the program and no
// main window (the owner's own window then carries the menus).
#include "IconsTestSupport.h"
#include "TrayTestSupport.h"
#include "common/AppMessages.h"
#include "tests/common/TempDir.h"
#include "tests/harness/Wait.h"
#include "tray/TrayIcons.h"

#include <gtest/gtest.h>

#include <shellapi.h>

TEST(TrayIconsTest, IconsShowAfterARefusalRunTheirMenusAndComeBackAfterTaskbarCreatedWithoutAPage)
{
    TempDir dir;
    TestRegistry registry("TrayIconsAlone");
    TestPageHost host(dir.Path(), registry.Roots());
    host.settings.enabled = 1;
    WriteBytes(dir.File("TrayIcons.txt"),
               TrayFile({{"First", "", {SystemItem("Screen", kTrayScreenSaver)}},
                         {"Second", "", {SystemItem("Log Off", kTrayLogOff)}}}));
    const int before = TrayIconCount();
    auto* system = new RecordingSystem();
    CTrayIcons icons(host, nullptr, std::unique_ptr<ISystemCommands>(system));
    StartingShell::refusals = 2;  // the first icon's add and change
    icons.SetNotifyIcon(&StartingShell::Notify);
    const auto shown = [&](int count) {
        return WaitFor(
            [&] {
                MSG msg;
                while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessageA(&msg);
                return TrayIconCount() == before + count;
            },
            10000);
    };

    icons.Start();
    EXPECT_EQ(before + 1, TrayIconCount()) << "the refused one waits for the retry";
    ASSERT_TRUE(shown(2)) << "the owner's timer tries it again";
    EXPECT_EQ(0, StartingShell::refusals);

    // A right click shows the first icon's menu; its item, chosen there, runs.
    const SeenMenu menu = ReadPopupMenu(
        [&] { SendMessageA(icons.Window(), WMAPP_CUSTOM_TRAY_FIRST, kCustomTrayFirstIconId, WM_RBUTTONUP); }, true);
    EXPECT_EQ(std::vector<std::string>{"Screen"}, menu.items);
    EXPECT_EQ(std::vector<std::string>{"screen saver"}, system->calls);

    // A shell that lost the icons: "TaskbarCreated" brings both back.
    for (UINT id : {kCustomTrayFirstIconId, kCustomTrayFirstIconId + 1}) {
        NOTIFYICONDATAW record = {};
        record.cbSize = sizeof record;
        record.hWnd = icons.Window();
        record.uID = id;
        ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &record));
    }
    ASSERT_TRUE(shown(0));
    icons.TaskbarCreated();
    EXPECT_TRUE(shown(2));

    icons.Stop();
    EXPECT_TRUE(shown(0));
    EXPECT_EQ(nullptr, icons.Window());
}
