#include "desktop/IconSlots.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {
// A 75 x 75 grid on an 800 x 600 screen: 8 rows per column.
CIconSlots ScreenGrid()
{
    return CIconSlots(75, 75, 800, 600);
}
}  // namespace

TEST(IconSlots, FillsColumnsFromTheTopLeft)
{
    CIconSlots slots = ScreenGrid();
    ASSERT_EQ(slots.Rows(), 8);
    for (int i = 0; i < 8; ++i) {
        CIconSlots::Point p = slots.TakeFree();
        EXPECT_EQ(p.x, 0) << i;
        EXPECT_EQ(p.y, i * 75) << i;
    }
    CIconSlots::Point next = slots.TakeFree();
    EXPECT_EQ(next.x, 75);
    EXPECT_EQ(next.y, 0);
}

TEST(IconSlots, SkipsCellsThatIconsTake)
{
    CIconSlots slots = ScreenGrid();
    slots.Occupy(0, 0);
    slots.Occupy(0, 150);
    CIconSlots::Point first = slots.TakeFree();
    EXPECT_EQ(first.x, 0);
    EXPECT_EQ(first.y, 75);
    CIconSlots::Point second = slots.TakeFree();
    EXPECT_EQ(second.y, 225);
}

TEST(IconSlots, AnIconBetweenCellsTakesEveryCellItOverlaps)
{
    CIconSlots slots = ScreenGrid();
    slots.Occupy(40, 40);  // overlaps cells (0,0), (1,0), (0,1), (1,1)
    EXPECT_TRUE(slots.IsTaken(0, 0));
    EXPECT_TRUE(slots.IsTaken(1, 0));
    EXPECT_TRUE(slots.IsTaken(0, 1));
    EXPECT_TRUE(slots.IsTaken(1, 1));
    EXPECT_FALSE(slots.IsTaken(0, 2));
    EXPECT_FALSE(slots.IsTaken(2, 0));
    CIconSlots::Point p = slots.TakeFree();
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 150);
}

TEST(IconSlots, AnIconOnACellEdgeTakesOnlyThatCell)
{
    CIconSlots slots = ScreenGrid();
    slots.Occupy(75, 75);
    EXPECT_TRUE(slots.IsTaken(1, 1));
    EXPECT_FALSE(slots.IsTaken(0, 0));
    EXPECT_FALSE(slots.IsTaken(1, 0));
    EXPECT_FALSE(slots.IsTaken(0, 1));
    EXPECT_FALSE(slots.IsTaken(2, 1));
    EXPECT_FALSE(slots.IsTaken(1, 2));
}

TEST(IconSlots, IconsOffTheGridTakeNothing)
{
    CIconSlots slots = ScreenGrid();
    slots.Occupy(0, 2000);  // parked far below the screen
    slots.Occupy(-500, 0);  // left of the screen
    slots.Occupy(0, -300);  // above it
    slots.Occupy(2000000000, 0);  // far beyond the tracked columns
    CIconSlots::Point p = slots.TakeFree();
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

TEST(IconSlots, PartlyOffScreenIconTakesItsVisibleCells)
{
    CIconSlots slots = ScreenGrid();
    slots.Occupy(-10, -10);  // overlaps (0,0) only
    EXPECT_TRUE(slots.IsTaken(0, 0));
    EXPECT_FALSE(slots.IsTaken(0, 1));
    slots.Occupy(0, 560);  // bottom row 7 (525..600) and nothing below it
    EXPECT_TRUE(slots.IsTaken(0, 7));
}

TEST(IconSlots, FullScreenGrowsToTheRight)
{
    CIconSlots slots(100, 100, 200, 200);  // 2 rows
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < 7; ++i) {
        CIconSlots::Point p = slots.TakeFree();
        EXPECT_TRUE(seen.insert({p.x, p.y}).second) << "place given twice: " << p.x << "," << p.y;
        EXPECT_LT(p.y, 200);
    }
    EXPECT_EQ(seen.count({300, 0}), 1u);
}

TEST(IconSlots, DegenerateSizesStillGivePlaces)
{
    CIconSlots slots(0, -5, 0, 0);
    EXPECT_GE(slots.Rows(), 1);
    CIconSlots::Point a = slots.TakeFree();
    CIconSlots::Point b = slots.TakeFree();
    EXPECT_FALSE(a.x == b.x && a.y == b.y);
}

TEST(IconSlots, FreedPlacesAreFoundAmongManyIcons)
{
    CIconSlots slots = ScreenGrid();
    // Everything of the first three columns except (1, 4).
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 8; ++row) {
            if (!(column == 1 && row == 4))
                slots.Occupy(column * 75, row * 75);
        }
    }
    CIconSlots::Point p = slots.TakeFree();
    EXPECT_EQ(p.x, 75);
    EXPECT_EQ(p.y, 300);
    CIconSlots::Point q = slots.TakeFree();
    EXPECT_EQ(q.x, 225);
    EXPECT_EQ(q.y, 0);
}
