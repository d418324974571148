// Monitors that change while the desktop runs: the desktop host plays the
// change (it serves another list of monitors and announces it, and a moment
// later puts the icons in columns, as the shell does), and the test stands
// for the program, which asks the library to follow.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/harness/Wait.h"
#include "tests/hook/HookTestSupport.h"

namespace {

// A 1024x768 primary with an 800x600 monitor to its left, a little lower.
const char kDocked[] = "0,0,1024,768;-800,100,800,600";
const char kAlone[] = "0,0,1024,768";
const char kDockedSnapshot[] = "Snapshot 1024x768+0+0 800x600-800+100.dvs";

class HookMonitorsTest : public CHookedDesktopTest {
protected:
    void SetUp() override
    {
        CHookedDesktopTest::SetUp();
        for (const char* name : {"Left one.txt", "Left two.txt", "Right one.txt", "Right two.txt"})
            ASSERT_TRUE(m_desktop.AddFile(name));
        m_session.SetHostArguments("/rearrange");
        ASSERT_TRUE(StartAndAttach());
        SettingsBlock settings = DefaultSettings();
        settings.restoreOnRes = 1;
        settings.keepSnapshots = 1;
        ASSERT_EQ(0ul, SendSettings(settings));
    }

    // Has the host serve monitors, then asks the library to follow, as the
    // program does on WM_DISPLAYCHANGE.
    void Announce(const char* monitors)
    {
        ASSERT_TRUE(Host().ServeMonitors(monitors));
        Send(HOOKMSG_SCREEN_CHANGED);
    }
    // Announces a change and waits until the library has placed the icons:
    // after the shell had put them in columns.
    void Change(const char* monitors)
    {
        const int followed = m_program.DisplayFollowed();
        const uint32_t arranged = ReadView().shellArranges;
        Announce(monitors);
        ASSERT_TRUE(WaitDisplayFollowed(followed + 1));
        EXPECT_GT(ReadView().shellArranges, arranged) << "the shell arranged the icons before the library";
    }

    // Every icon's rectangle on the screen, by label.
    std::map<std::string, RECT> Places()
    {
        const View view = ReadView();
        std::vector<Item> items;
        EXPECT_TRUE(Host().Items(items));
        std::map<std::string, RECT> places;
        for (const Item& item : items) {
            const int w = item.iconRect.right - item.iconRect.left, h = item.iconRect.bottom - item.iconRect.top;
            const int x = item.x + view.listViewRect.left, y = item.y + view.listViewRect.top;
            places[item.label] = RECT{x, y, x + w, y + h};
        }
        return places;
    }
};

bool Inside(const RECT& r, const RECT& area)
{
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

bool Overlap(const RECT& a, const RECT& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

// Undocked and docked again: the icons of the monitor that went wait on
// free spots of the primary, those of the primary stay, and the snapshot of
// the docked arrangement puts every icon back on its own monitor.
TEST_F(HookMonitorsTest, IconsComeBackToTheirMonitorsAfterUndockingAndDocking)
{
    Change(kDocked);
    const View docked = ReadView();
    ASSERT_EQ(-800, docked.listViewRect.left) << "the view spans both monitors";
    ASSERT_EQ(1024, docked.listViewRect.right);
    // Two icons on the left monitor (one at its very corner), two on the primary.
    MoveItem("Left one.txt", 100, 200);
    MoveItem("Left two.txt", 0, 100);
    MoveItem("Right one.txt", 800 + 300, 300);
    MoveItem("Right two.txt", 800 + 600, 500);
    const std::string snapshot = PositionsFile(kDockedSnapshot);
    ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(snapshot).find("Right two.txt") != std::string::npos; }, 15000))
        << "no snapshot of the docked arrangement";
    // Moved again just before the undocking, while its snapshot is still due.
    MoveItem("Left one.txt", 150, 260);
    const auto before = Places();

    Change(kAlone);
    const auto alone = Places();
    const RECT primary = {0, 0, 1024, 768};
    for (const auto& entry : alone)
        EXPECT_TRUE(Inside(entry.second, primary)) << entry.first;
    for (auto a = alone.begin(); a != alone.end(); ++a) {
        for (auto b = std::next(a); b != alone.end(); ++b)
            EXPECT_FALSE(Overlap(a->second, b->second)) << a->first << " on " << b->first;
    }
    for (const char* label : {"Right one.txt", "Right two.txt", "My Computer"}) {
        EXPECT_EQ(before.at(label).left, alone.at(label).left) << label;
        EXPECT_EQ(before.at(label).top, alone.at(label).top) << label;
    }

    Change(kDocked);
    const auto back = Places();
    for (const auto& entry : before) {
        EXPECT_NEAR(entry.second.left, back.at(entry.first).left, 2) << entry.first;
        EXPECT_NEAR(entry.second.top, back.at(entry.first).top, 2) << entry.first;
    }
}

// A snapshot of the docked arrangement renamed by hand to the name of the
// primary alone, and changes one after another: every icon stays on screen.
TEST_F(HookMonitorsTest, RenamedSnapshotAndQuickChangesLeaveEveryIconOnScreen)
{
    Change(kDocked);
    MoveItem("Left one.txt", 100, 200);
    MoveItem("Left two.txt", 110, 210);
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_POSITIONS, "Snapshot 1024x768.dvs"));
    Change(kAlone);
    const RECT primary = {0, 0, 1024, 768};
    auto alone = Places();
    for (const auto& entry : alone)
        EXPECT_TRUE(Inside(entry.second, primary)) << entry.first;
    EXPECT_FALSE(Overlap(alone.at("Left one.txt"), alone.at("Left two.txt")));

    // Four changes at once: the icons are placed once, after the last.
    const int followed = m_program.DisplayFollowed();
    for (const char* monitors : {kDocked, kAlone, kDocked, kAlone})
        Announce(monitors);
    ASSERT_TRUE(WaitDisplayFollowed(followed + 1));
    const auto settled = Places();
    for (const auto& entry : settled) {
        EXPECT_TRUE(Inside(entry.second, primary)) << entry.first;
        EXPECT_EQ(alone.at(entry.first).left, entry.second.left) << entry.first << ": back from the shell's columns";
        EXPECT_EQ(alone.at(entry.first).top, entry.second.top) << entry.first;
    }
}
