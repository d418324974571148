// Arrangements of monitors: their snapshot names, the records a positions
// layout keeps of them, and where icons go when the arrangement changes.
#include "hook/Arrangement.h"
#include "hook/IconPlacement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/KeyedTextFile.h"
#include "common/LayoutFormat.h"
#include "hook/LayoutRecord.h"
#include "tests/common/TempDir.h"

namespace {

Monitor At(int left, int top, int width, int height, int dpi = 96)
{
    Monitor m;
    m.rect = {left, top, left + width, top + height};
    m.dpi = dpi;
    return m;
}

// A 1280x1024 primary with a 1024x768 monitor to its left, as the screen
// reports them when the left one is at 0,0.
Arrangement Docked()
{
    return MakeArrangement({At(0, 100, 1024, 768), At(1024, 0, 1280, 1024)}, 1);
}

Arrangement Alone()
{
    return MakeArrangement({At(0, 0, 1280, 1024)}, 0);
}

IconToPlace Icon(int x, int y, Box monitor = {})
{
    IconToPlace icon;
    icon.x = x;
    icon.y = y;
    icon.width = 64;
    icon.height = 64;
    icon.monitor = monitor;
    return icon;
}

bool Inside(const Box& box, const Box& area)
{
    return box.left >= area.left && box.top >= area.top && box.right <= area.right && box.bottom <= area.bottom;
}

}  // namespace

TEST(Arrangement, IsRelativeToThePrimaryAndNamedByItsMonitors)
{
    const Arrangement docked = Docked();
    ASSERT_EQ(2u, docked.monitors.size());
    EXPECT_EQ((Box{0, 0, 1280, 1024}), docked.Primary().rect);
    EXPECT_EQ((Box{-1024, 100, 0, 868}), docked.monitors[1].rect);
    EXPECT_EQ((Box{-1024, 0, 1280, 1024}), docked.Bounds());
    EXPECT_EQ("Snapshot 1280x1024+0+0 1024x768-1024+100.dvs", ArrangementSnapshotFileName(docked));
    // Listed in another order, the same arrangement and the same name.
    const Arrangement again = MakeArrangement({At(1024, 0, 1280, 1024), At(0, 100, 1024, 768)}, 0);
    EXPECT_TRUE(again.SameAs(docked));
    EXPECT_EQ(ArrangementSnapshotFileName(docked), ArrangementSnapshotFileName(again));

    // One monitor at 96 dpi keeps the name snapshots always had.
    EXPECT_EQ("Snapshot 1280x1024.dvs", ArrangementSnapshotFileName(Alone()));
    const Arrangement scaled = MakeArrangement({At(0, 0, 1280, 1024, 144)}, 0);
    EXPECT_FALSE(scaled.SameAs(Alone()));
    EXPECT_EQ("Snapshot 1280x1024+0+0@144dpi.dvs", ArrangementSnapshotFileName(scaled));

    // Past six monitors the rest is told apart by a checksum.
    std::vector<Monitor> many, other;
    for (int i = 0; i < 9; ++i) {
        many.push_back(At(i * 800, 0, 800, 600));
        other.push_back(At(i * 800, i == 8 ? 10 : 0, 800, 600));
    }
    const std::string name = ArrangementSnapshotFileName(MakeArrangement(many, 0));
    EXPECT_NE(std::string::npos, name.find(" and 3 more ")) << name;
    EXPECT_NE(name, ArrangementSnapshotFileName(MakeArrangement(other, 0)));
    EXPECT_LT(name.size(), 200u);
    EXPECT_TRUE(MakeArrangement({}, 0).Empty());
}

// A layout written with the new records still reads, record for record, as
// the older reader reads it: appearance looked up from the start, then every
// ICON_n forward from the one before.
TEST(ArrangementRecords, RoundTripAndLeaveTheOlderReaderAlone)
{
    TempDir dir;
    const std::string path = dir.File("Docked.dvl");
    {
        CKeyedTextFile file(path.c_str());
        ASSERT_TRUE(file.Create());
        ASSERT_TRUE(file.WriteHeader(kPositionsLayoutTitle));
        for (const char* key : {"ICON_TEXT_COLOR_FG", "ICON_TEXT_COLOR_BG", "ICON_TEXT_BG", "ICON_STYLE"})
            ASSERT_TRUE(file.Write(key, "0"));
        ASSERT_TRUE(WriteArrangementRecords(file, Docked(), -1024, 0));
        ASSERT_TRUE(file.Write("ICON_0", "Left\t10,120"));
        ASSERT_TRUE(file.Write("ICON_1", "Right\t1100,20"));
        ASSERT_TRUE(WriteIconMonitorRecords(file, {{-1024, 100, 0, 868}, {0, 0, 1280, 1024}}));
        ASSERT_TRUE(file.Write("WINDOW_DELETE", "5,6"));
    }
    CKeyedTextFile file(path.c_str());
    char value[CKeyedTextFile::kLineSize];
    ASSERT_TRUE(file.Find("ICON_STYLE", value, true));
    std::vector<std::string> labels;
    ReadIconRecords(file, path.c_str(), [&](const ShortcutRecord& r, bool isFile) {
        EXPECT_FALSE(isFile);
        labels.push_back(r.label);
    });
    EXPECT_EQ((std::vector<std::string>{"Left", "Right"}), labels);

    SavedArrangement saved;
    ASSERT_TRUE(ReadArrangementRecords(file, path.c_str(), &saved));
    EXPECT_TRUE(saved.arrangement.SameAs(Docked()));
    EXPECT_EQ(-1024, saved.originX);
    EXPECT_EQ(0, saved.originY);
    const std::vector<Box> monitors = ReadIconMonitorRecords(file, path.c_str(), saved);
    ASSERT_EQ(2u, monitors.size());
    EXPECT_EQ((Box{-1024, 100, 0, 868}), monitors[0]);
    ASSERT_TRUE(file.Find("WINDOW_DELETE", value, true));
    EXPECT_STREQ("5,6", value);
}

TEST(ArrangementRecords, OlderAndHandEditedFiles)
{
    TempDir dir;
    const auto read = [&](const std::string& records, SavedArrangement* saved) {
        const std::string path = dir.File("Layout.dvl");
        WriteBytes(path, "KTX_FILE\tDERVANE ICON POSITIONS\r\nVERSION\t1.0\r\n" + records);
        CKeyedTextFile file(path.c_str());
        const bool found = ReadArrangementRecords(file, path.c_str(), saved);
        return found ? ReadIconMonitorRecords(file, path.c_str(), *saved) : std::vector<Box>{};
    };
    SavedArrangement saved;
    read("ICON_0\tA\t1,2\r\n", &saved);
    EXPECT_TRUE(saved.arrangement.Empty());
    // A primary that does not parse leaves the arrangement unknown.
    read("MONITOR_0\t0,0,0,768\t96\r\nMONITOR_1\t0,0,800,600\t96\r\n", &saved);
    EXPECT_TRUE(saved.arrangement.Empty());

    // A primary moved away from 0,0 by hand moves the origin and the icons'
    // monitors with it; a bad monitor, scale or icon record is passed over.
    const std::vector<Box> monitors = read("MONITOR_0\t100,50,800,600\t2000\r\nMONITOR_1\tjunk\r\n"
                                           "MONITOR_2\t-32000,-32000,640,480\t288\r\nVIEW_ORIGIN\t-31900,-31950\r\n"
                                           "ICON_MONITOR_0\t100,50,800,600\r\nICON_MONITOR_1\tx\r\n"
                                           "ICON_MONITOR_2\t-32000,-32000,640,480\r\n",
                                           &saved);
    ASSERT_EQ(2u, saved.arrangement.monitors.size());
    EXPECT_EQ((Box{0, 0, 800, 600}), saved.arrangement.Primary().rect);
    EXPECT_EQ(96, saved.arrangement.Primary().dpi);
    EXPECT_EQ((Box{-32100, -32050, -31460, -31570}), saved.arrangement.monitors[1].rect);
    EXPECT_EQ(288, saved.arrangement.monitors[1].dpi);
    EXPECT_EQ(-32000, saved.originX);
    EXPECT_EQ(-32000, saved.originY);
    ASSERT_EQ(3u, monitors.size());
    EXPECT_EQ((Box{0, 0, 800, 600}), monitors[0]);
    EXPECT_TRUE(monitors[1].Empty());
    EXPECT_EQ(saved.arrangement.monitors[1].rect, monitors[2]);
}

// Undocked: the left monitor goes, the list view's origin moves from the left
// monitor's edge to the primary's.
TEST(IconPlacement, IconsKeepTheirMonitorOrGoToAFreeSpotOfThePrimary)
{
    const Arrangement docked = Docked(), alone = Alone();
    const Box left = docked.monitors[1].rect, primary = docked.Primary().rect;
    const std::vector<IconToPlace> icons = {
        Icon(1024 + 300, 200, primary),  // on the primary
        Icon(200, 300, left),  // on the left monitor
        Icon(0, 100, left),  // its top-left corner
        Icon(1024 + 1279, 200),  // no monitor saved: the one holding its centre, partly off
    };
    // An icon that stays where the gone monitor's icons would land.
    const std::vector<Box> taken = {{240, 280, 304, 344}};
    const PlacementResult r = PlaceIcons({&docked, -1024, 0}, {&alone, 0, 0}, icons, taken, 75, 75);
    ASSERT_EQ(4u, r.places.size());
    EXPECT_EQ((ScreenPoint{300, 200}), r.places[0]) << "same place on the screen";
    EXPECT_EQ((ScreenPoint{1279, 200}), r.places[3]) << "partly on its monitor: left as it was";
    std::vector<Box> all = taken;
    for (size_t i = 0; i < r.places.size(); ++i)
        all.push_back({r.places[i].x, r.places[i].y, r.places[i].x + 64, r.places[i].y + 64});
    for (size_t i : {1u, 2u})
        EXPECT_TRUE(Inside(all[i + 1], alone.Primary().rect)) << i;
    EXPECT_EQ((ScreenPoint{0, 0}), r.places[2]) << "the same relative place: the corner";
    for (size_t i = 0; i < all.size(); ++i) {
        for (size_t j = i + 1; j < all.size(); ++j)
            EXPECT_FALSE(all[i].Intersects(all[j])) << i << " on " << j;
    }
    EXPECT_EQ(0, r.crowded);

    // Docked again, the saved places come back exactly.
    const PlacementResult back = PlaceIcons({&docked, -1024, 0}, {&docked, -1024, 0}, icons, {}, 75, 75);
    for (size_t i = 0; i < icons.size(); ++i)
        EXPECT_EQ((ScreenPoint{icons[i].x, icons[i].y}), back.places[i]) << i;
}

TEST(IconPlacement, SameSizeElsewhereAndIconsOutsideEveryMonitor)
{
    const Arrangement docked = Docked();
    // The same monitor, now on the right and lower.
    const Arrangement moved = MakeArrangement({At(0, 0, 1280, 1024), At(1280, 200, 1024, 768)}, 0);
    const PlacementResult r = PlaceIcons({&docked, -1024, 0}, {&moved, 0, 0},
                                         {Icon(200, 300, docked.monitors[1].rect)}, {}, 75, 75);
    EXPECT_EQ((ScreenPoint{1280 + 200, 200 + 200}), r.places[0]);

    // A hand-edited layout of the older format: far off, and in the gap
    // beside the lower monitor, each brought into the nearest work area.
    Arrangement worked = docked;
    worked.Primary().work = {0, 0, 1280, 984};
    const PlacementResult far = PlaceIcons({&docked, -1024, 0}, {&worked, -1024, 0},
                                           {Icon(-32000, -32000), Icon(5000, 4000), Icon(10, 10)}, {}, 75, 75);
    EXPECT_EQ((ScreenPoint{0, 100}), far.places[0]);
    EXPECT_EQ((ScreenPoint{1024 + 1280 - 64, 984 - 64}), far.places[1]);
    EXPECT_EQ((ScreenPoint{10, 100}), far.places[2]);
    EXPECT_EQ(3, far.moved);

    // Icons a shell left where a monitor was, following a change: each on a
    // free spot of the nearest monitor.
    const Arrangement alone = Alone();
    const PlacementResult left = PlaceIcons({&alone, 0, 0}, {&alone, 0, 0},
                                            {Icon(-700, 300), Icon(-700, 300), Icon(-690, 310)}, {}, 75, 75, true);
    std::vector<Box> boxes;
    for (const ScreenPoint& p : left.places) {
        boxes.push_back({p.x, p.y, p.x + 64, p.y + 64});
        EXPECT_TRUE(Inside(boxes.back(), alone.Primary().rect)) << p.x << "," << p.y;
    }
    EXPECT_EQ((Box{0, 300, 64, 364}), boxes[0]);
    EXPECT_FALSE(boxes[0].Intersects(boxes[1]) || boxes[0].Intersects(boxes[2]) || boxes[1].Intersects(boxes[2]));

    // The windows follow the same rule.
    EXPECT_EQ((ScreenPoint{-500 + 1280 + 1024, 300 + 100}),
              PlaceWindow(docked, moved, {-500, 300}, 200, 100));
}

// Five monitors of icons onto one: every icon inside the work area, none on
// another, as long as there is room.
TEST(IconPlacement, FiveMonitorsOntoOneLeaveNoIconOnAnother)
{
    std::vector<Monitor> five;
    for (int i = 0; i < 5; ++i)
        five.push_back(At(i * 1920, 0, 1920, 1080));
    const Arrangement from = MakeArrangement(five, 2);
    Arrangement to = MakeArrangement({At(0, 0, 3840, 2160)}, 0);
    to.Primary().work = {0, 0, 3840, 2120};
    std::vector<IconToPlace> icons;
    for (int i = 0; i < 1000; ++i) {
        const int monitor = i % 5;
        icons.push_back(Icon((i / 5 % 20) * 75 + monitor * 1920, (i / 100) * 75));
    }
    const PlacementResult r = PlaceIcons({&from, -3840, 0}, {&to, 0, 0}, icons, {}, 75, 75);
    EXPECT_EQ(0, r.crowded);
    std::vector<Box> boxes;
    for (const ScreenPoint& p : r.places) {
        boxes.push_back({p.x, p.y, p.x + 64, p.y + 64});
        EXPECT_TRUE(Inside(boxes.back(), to.Primary().work)) << p.x << "," << p.y;
    }
    int overlaps = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        for (size_t j = i + 1; j < boxes.size(); ++j)
            overlaps += boxes[i].Intersects(boxes[j]) ? 1 : 0;
    }
    EXPECT_EQ(0, overlaps);
}
