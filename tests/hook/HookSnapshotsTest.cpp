// The snapshot of the screen follows every way icons move on a desktop: a
// drag, the keyboard, a new file, and the places the list view gives by
// itself (align to grid, sort by name, auto-arrange). The snapshot file is
// read back after each.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/harness/Wait.h"
#include "tests/hook/HookTestSupport.h"

using namespace DesktopHostProtocol;

namespace {

// Longer than the few seconds after the last move at which the snapshot is written.
constexpr DWORD kKeptTimeoutMs = 15000;
constexpr DWORD kMovedTimeoutMs = 10000;

void SendMouse(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

POINT PointerTo(int x, int y)
{
    SetCursorPos(x, y);
    SendMouse(MOUSEEVENTF_MOVE);
    POINT at = {};
    GetCursorPos(&at);
    return at;
}

class HookSnapshotsTest : public CHookedDesktopTest {
protected:
    void SetUp() override
    {
        CHookedDesktopTest::SetUp();
        for (const char* name : {"Delta.txt", "Beta.txt", "Alpha.txt"})
            ASSERT_TRUE(m_desktop.AddFile(name));
        ASSERT_TRUE(StartAndAttach());
        SettingsBlock settings = DefaultSettings();
        settings.restoreOnRes = 1;
        settings.keepSnapshots = 1;
        settings.adjustByPixel = 1;
        ASSERT_EQ(0ul, SendSettings(settings));
        m_snapshot = PositionsFile("Snapshot " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                                   std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ".dvs");
    }
    void TearDown() override
    {
        SendMouse(MOUSEEVENTF_LEFTUP);
        CHookedDesktopTest::TearDown();
    }

    std::map<std::string, POINT> Places()
    {
        std::map<std::string, POINT> places;
        std::vector<Item> items;
        EXPECT_TRUE(Host().Items(items));
        for (const Item& item : items)
            places[item.label] = POINT{item.x, item.y};
        return places;
    }
    // An icon of after is new or stands elsewhere than before.
    static bool AnyMoved(const std::map<std::string, POINT>& before, const std::map<std::string, POINT>& after)
    {
        for (const auto& entry : after) {
            const auto was = before.find(entry.first);
            if (was == before.end() || was->second.x != entry.second.x || was->second.y != entry.second.y)
                return true;
        }
        return false;
    }

    // Runs a way of moving icons, which must move some, and waits until the
    // snapshot holds every icon where the desktop shows it.
    template <class Act> ::testing::AssertionResult SnapshotFollows(const char* way, Act act)
    {
        const auto before = Places();
        act();
        std::map<std::string, POINT> after;
        if (!WaitFor([&] { return AnyMoved(before, after = Places()); }, kMovedTimeoutMs))
            return ::testing::AssertionFailure() << way << ": no icon moved";
        std::string missing;
        const bool kept = WaitFor(
            [&] {
                after = Places();
                const std::string text = ReadFileBytes(m_snapshot);
                missing.clear();
                for (const auto& entry : after) {
                    const std::string record = "\t" + entry.first + "\t" + std::to_string(entry.second.x) + "," +
                        std::to_string(entry.second.y) + "\r\n";
                    if (text.find(record) == std::string::npos)
                        missing += " " + entry.first;
                }
                return missing.empty();
            },
            kKeptTimeoutMs);
        if (!kept)
            return ::testing::AssertionFailure() << way << ": the snapshot lacks the places of" << missing;
        return ::testing::AssertionSuccess();
    }

    // Drags the icon labelled label by (dx, dy) with the mouse.
    void Drag(const std::string& label, int dx, int dy)
    {
        const Item item = ItemNamed(label);
        const View view = ReadView();
        const POINT down = PointerTo(view.listViewRect.left + (item.iconRect.left + item.iconRect.right) / 2,
                                     view.listViewRect.top + (item.iconRect.top + item.iconRect.bottom) / 2);
        ASSERT_TRUE(Host().ResetCounters());
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        // The press is handled (the icon selected) before the pointer moves,
        // and the drag has begun before it moves on: queued moves merge.
        ASSERT_TRUE(WaitFor([&] { return (ItemNamed(label).state & kStateSelected) != 0; }, kMovedTimeoutMs));
        PointerTo(down.x + dx / 10, down.y + dy / 10);
        ASSERT_TRUE(WaitFor([&] { return CDesktopHostClient::Count(ReadView(), LVN_BEGINDRAG) == 1; }, kMovedTimeoutMs));
        for (int step = 2; step <= 10; ++step)
            PointerTo(down.x + dx * step / 10, down.y + dy * step / 10);
        SendMouse(MOUSEEVENTF_LEFTUP);
    }

    std::string m_snapshot;
};

}  // namespace

TEST_F(HookSnapshotsTest, TheSnapshotFollowsEveryWayIconsMove)
{
    EXPECT_TRUE(SnapshotFollows("a drag", [&] { Drag("Beta.txt", 300, 170); }));
    EXPECT_TRUE(SnapshotFollows("ctrl+arrow", [&] {
        ASSERT_TRUE(Host().Focus());
        ASSERT_TRUE(Host().PostKey(VK_CONTROL, kKeyDown));
        ASSERT_TRUE(Host().PostKey(VK_LEFT, kKeyDown | kKeyUp));
        ASSERT_TRUE(Host().PostKey(VK_CONTROL, kKeyUp));
    }));
    // Auto-arrange brings the dragged icon back into the columns; off again.
    EXPECT_TRUE(SnapshotFollows("auto-arrange", [&] { ASSERT_TRUE(Host().RunViewCommand(kViewAutoArrange)); }));
    ASSERT_TRUE(Host().RunViewCommand(kViewAutoArrange));
    EXPECT_TRUE(SnapshotFollows("a new file", [&] { ASSERT_TRUE(m_desktop.AddFile("Gamma.txt")); }));
    EXPECT_TRUE(SnapshotFollows("sort by name", [&] { ASSERT_TRUE(Host().RunViewCommand(kViewSortByName)); }));
    MoveItem("Alpha.txt", 403, 211);
    EXPECT_TRUE(SnapshotFollows("align to grid", [&] { ASSERT_TRUE(Host().RunViewCommand(kViewAlignToGrid)); }));
}
