// Icon layout files: positions layouts and shortcuts layouts (".dvl").
#pragma once

#include <windows.h>

#include <vector>

#include "hook/Arrangement.h"

bool SavePositions(const char* name);
bool LoadPositions(const char* name);
bool SaveShortcuts(const char* name);
bool LoadShortcuts(const char* name);

// The places of every icon and of the program's desktop windows, written to
// the positions layout file name whole or not at all, and without waiting on
// the file: false when it could not be written (logged; an old file is left
// as it was).
bool SavePositionsSnapshot(const char* name);

// What a layout placed: per item index whether an icon was found for one of
// its records, and whether it held a place for each of the two windows.
struct LayoutPlacement {
    std::vector<bool> icons;
    bool deleteWindow = false;
    bool backupWindow = false;
};
// Places the icons and windows of the positions layout file name, keeping the
// current appearance and without telling the program; false when the file
// cannot be read or is no positions layout.
bool PlaceSnapshot(const char* name, LayoutPlacement* placed);

// The icons' places by item index, as read at one moment.
struct IconPlaces {
    std::vector<POINT> at;
    std::vector<bool> known;  // whether at[i] could be read
};

// Moves the icons (with placed, those it did not place) and the program's
// desktop windows from the arrangement they were placed for, with the list
// view's 0,0 at fromOrigin, onto the one now, by the rule a layout saved on
// from is loaded by. An icon already at its place is left alone. Icons are
// taken by their icon rectangles, one size for all, or with wholeItems by
// each one's bounds with its label (a call per icon). With before (of as
// many items as the view holds now), each icon goes from the place it had
// then instead of the one it has now.
void FollowArrangement(const Arrangement& from, POINT fromOrigin, const LayoutPlacement* placed = nullptr,
                       bool wholeItems = false, const IconPlaces* before = nullptr);
