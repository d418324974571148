// The monitors the desktop spans, as positions layouts record them: each
// monitor's rectangle relative to the primary monitor's top-left corner, and
// its scale. Window-free: the hook library measures the monitors, this file
// names, writes and reads what it measured.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CKeyedTextFile;

// A rectangle, right and bottom exclusive.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Intersects(const Box& o) const
    {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    Box Moved(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const Box& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Box& o) const { return !(*this == o); }
};

struct Monitor {
    Box rect;
    Box work;  // the part icons may take (the rectangle less the task bars); empty: the whole rectangle
    int dpi = 96;

    const Box& WorkArea() const { return work.Empty() ? rect : work; }
};

// The primary monitor first, at 0,0; the others after it in the order of
// their places (left, then top), so that one arrangement has one name.
struct Arrangement {
    std::vector<Monitor> monitors;

    bool Empty() const { return monitors.empty(); }
    const Monitor& Primary() const { return monitors.front(); }
    Monitor& Primary() { return monitors.front(); }
    // Every monitor together.
    Box Bounds() const;
    // Same rectangles and scales; work areas are not compared.
    bool SameAs(const Arrangement& other) const;
};

// From monitors in screen coordinates and the index of the primary one: the
// arrangement relative to that monitor's top-left corner. Monitors beyond
// kMaxMonitors and empty ones are left out; an empty list gives an empty
// arrangement.
constexpr size_t kMaxMonitors = 32;
Arrangement MakeArrangement(std::vector<Monitor> monitors, size_t primary);

// The automatic snapshot of the arrangement: "Snapshot WxH.dvs" for one
// monitor at 96 dpi (the name snapshots had before arrangements were told
// apart), otherwise each monitor as "WxH+X+Y" with "@Ndpi" where it is not
// 96, as in "Snapshot 1920x1080+0+0 1280x1024-1280+0@144dpi.dvs". Past six
// monitors the rest is named by a checksum.
std::string ArrangementSnapshotFileName(const Arrangement& arrangement);

// Records a positions layout adds for its arrangement. Readers of the older
// format skip keys they do not know, and find each ICON_n forward from the
// one before, so these come where they never stand between two icon records
// that reader needs: the monitors and the view's origin before ICON_0, each
// icon's monitor after the last icon record.
//   MONITOR_n       "left,top,width,height<TAB>dpi", MONITOR_0 the primary
//   VIEW_ORIGIN     "x,y": the screen place of the list view's 0,0
//   ICON_MONITOR_n  "left,top,width,height": the monitor ICON_n lay on
constexpr char kViewOriginRecord[] = "VIEW_ORIGIN";

// "left,top,width,height" with a positive size, each within +-1,000,000.
bool ParseBox(const char* text, Box* box);
std::string FormatBox(const Box& box);

// The arrangement records (MONITOR_n and VIEW_ORIGIN). False when one could
// not be written.
bool WriteArrangementRecords(CKeyedTextFile& file, const Arrangement& arrangement, int originX, int originY);
// What a layout says of the arrangement it was saved on. A primary written
// away from 0,0 (by hand) takes everything with it: offset is what was taken
// off the file's coordinates.
struct SavedArrangement {
    Arrangement arrangement;  // empty for a layout of the older format
    int originX = 0, originY = 0;  // the list view's 0,0 on the arrangement
    int offsetX = 0, offsetY = 0;
};
// Reads the records back, each looked up from the start of the file; false
// when the file has none. Records that do not parse are logged with path and
// passed over (a primary that does not parse leaves the arrangement unknown);
// without VIEW_ORIGIN the view lay at the top-left corner of all monitors.
bool ReadArrangementRecords(CKeyedTextFile& file, const char* path, SavedArrangement* saved);

// ICON_MONITOR_n for n from 0, in order. False when one could not be written.
bool WriteIconMonitorRecords(CKeyedTextFile& file, const std::vector<Box>& monitors);
// Reads ICON_MONITOR_0, 1, ... until one is missing, moved by the saved
// arrangement's offset; an entry that does not parse is an empty box (logged
// with path).
std::vector<Box> ReadIconMonitorRecords(CKeyedTextFile& file, const char* path, const SavedArrangement& saved);
