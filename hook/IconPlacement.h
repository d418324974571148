// Where icons saved on one arrangement of monitors go on another. Window-free.
//
// Each icon goes to the monitor of the rectangle it lay on, else to a monitor
// of the same size (the nearest such), at the same place within it. An icon
// whose monitor is not there goes to the primary monitor at the same relative
// place, on a free spot of its work area: never on top of another icon. An
// icon outside every monitor of its arrangement (a hand-edited or older
// layout) keeps its place if any part of it is on a monitor now, and is
// otherwise brought into the work area of the nearest one (there on a free
// spot too when asked: icons a shell left where a monitor was).
#pragma once

#include <vector>

#include "hook/Arrangement.h"

struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint& o) const { return x == o.x && y == o.y; }
};

// One arrangement with the screen place of its list view's 0,0.
struct ArrangementView {
    const Arrangement* arrangement = nullptr;
    int originX = 0, originY = 0;
};

struct IconToPlace {
    int x = 0, y = 0;  // the list-view place saved
    int width = 0, height = 0;  // the icon's size now
    Box monitor;  // the monitor it lay on, as saved; empty: the one its place is on
};

struct PlacementResult {
    std::vector<ScreenPoint> places;  // list-view places on the new arrangement, one per icon
    int crowded = 0;  // icons that found no free spot and overlap another
    int moved = 0;  // icons brought from outside every monitor
};

// Places icons saved on from onto to. taken holds the list-view rectangles
// of the icons that stay where they are; spacing is the grid a free spot is
// looked for on (at least the icon's size).
PlacementResult PlaceIcons(const ArrangementView& from, const ArrangementView& to,
                           const std::vector<IconToPlace>& icons, const std::vector<Box>& taken, int spacingX,
                           int spacingY, bool freeSpotsForBroughtIn = false);

// The monitor an icon of that screen rectangle lies on: the one holding its
// centre, else the nearest one; empty for an empty arrangement.
Box MonitorOf(const Arrangement& arrangement, const Box& icon);

// The same rule for one window's top-left corner, in screen coordinates,
// with no free spot looked for.
ScreenPoint PlaceWindow(const Arrangement& from, const Arrangement& to, ScreenPoint at, int width, int height);
