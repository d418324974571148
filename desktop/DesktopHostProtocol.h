#pragma once
// The records that DesktopHost.exe shares with test processes through one
// named file mapping per host process. Fixed sizes and no pointers, so the
// layout is the same on both sides; window handles travel as 64-bit values.
//
// A client takes the host's lock (mutex), writes a request record, signals
// the request event and waits for the answer event. The host handles the
// request on its list view's thread, with list view messages sent to its own
// list view, writes the answer record (which echoes the request's sequence
// number) and signals the answer event.

#include <cstdint>
#include <cstdio>

namespace DesktopHostProtocol {

constexpr uint32_t kMagic = 0x48445644;  // "DVDH"
constexpr uint32_t kVersion = 4;
// Texts are UTF-8: a label of MAX_PATH UTF-16 units takes up to 780 bytes.
constexpr int kLabelSize = 784;
constexpr int kItemsPerPage = 64;
constexpr int kMaxCounters = 32;
constexpr int kRecentNotifications = 64;
constexpr int kPathSize = 784;

enum RequestCode : uint32_t {
    kRequestView = 1,  // view record: colours, style, windows, counters
    kRequestItems = 2,  // up to kItemsPerPage items from index
    kRequestSelect = 3,  // set state (mask) of item index, -1: every item
    kRequestMove = 4,  // LVM_SETITEMPOSITION32 of item index to (x, y)
    kRequestPostKey = 5,  // post key messages to the list view
    kRequestResetCounters = 6,  // forget the notifications seen so far
    kRequestRefresh = 7,  // reload every item, as F5 does
    kRequestFocus = 8,  // give the list view the keyboard focus
    // The parent moves the next item inserted with this label to (x, y) while
    // it handles that item's LVN_INSERTITEM, as a subclass of it may do.
    kRequestPlaceOnInsert = 9,
    // LVM_SORTITEMS sent to the list view, ordering the items by their item
    // data, highest first (so the newest item comes first).
    kRequestSort = 10,
    // Times, in this process, LVM_GETITEMPOSITION and LVM_SETITEMPOSITION32
    // of every item moved by (x, y); Answer::elapsedTicks tells how long the
    // 2 x itemCount calls took.
    kRequestTimeMoves = 11,
    // Moves the "SHELLDLL_DefView" (with its list view) into the window tree
    // Request::index (a DesktopTree), as the shell does while it runs.
    kRequestMoveDefView = 12,
    // Serves the monitors of Request::label ("left,top,width,height;...",
    // the primary first; empty: the real ones), fits the desktop's windows
    // to them and announces the change with WM_DISPLAYCHANGE (ServedMonitors.h).
    kRequestServeMonitors = 13,
    // Runs the view command Request::index (ViewCommand) as the desktop's
    // context menu does.
    kRequestViewCommand = 14,
};

// The desktop's view commands, as the shell offers them: each has the list
// view place the icons itself.
enum ViewCommand : int32_t {
    kViewAutoArrange = 1,  // auto-arrange on or off (LVS_AUTOARRANGE)
    kViewAlignToGrid = 2,  // align to the grid on or off (LVS_EX_SNAPTOGRID)
    kViewSortByName = 3,  // sort by label, then arrange
};

// Where the desktop's "SHELLDLL_DefView" lies.
enum DesktopTree : int32_t {
    kTreeProgman = 0,  // a child of "Progman", as the shell starts
    kTreeWorkerW = 1,  // a child of a top-level "WorkerW" (Progman was sent 0x052C)
    kTreeWorkerWChild = 2,  // a child of a "WorkerW" that is a child of "Progman"
};

// Request flags of kRequestPostKey.
constexpr uint32_t kKeyDown = 1;
constexpr uint32_t kKeyUp = 2;

// Item states of kRequestSelect and ItemRecord::state (the list view's own
// LVIS_FOCUSED and LVIS_SELECTED bits).
constexpr uint32_t kStateFocused = 0x0001;
constexpr uint32_t kStateSelected = 0x0002;

struct RectRecord {
    int32_t left, top, right, bottom;
};

struct HostHeader {
    uint32_t magic;
    uint32_t version;
    uint32_t hostPid;
    uint32_t ready;  // 1 once the first load of the folder is shown
    uint64_t progman;  // the windows, as HWND values
    uint64_t defView;
    uint64_t listView;
    uint32_t folderSyncs;  // completed comparisons of folder and view
    uint32_t reserved;
};

struct Request {
    uint32_t sequence;
    uint32_t code;
    int32_t index;
    int32_t x, y;
    uint32_t state, mask;
    uint32_t virtualKey;
    uint32_t keyFlags;
    uint32_t reserved;
    char label[kLabelSize];  // kRequestPlaceOnInsert; NUL-terminated
};

struct ItemRecord {
    int32_t index;
    int32_t x, y;  // LVM_GETITEMPOSITION
    RectRecord iconRect;  // LVM_GETITEMRECT, LVIR_ICON
    RectRecord boundsRect;  // LVM_GETITEMRECT, LVIR_BOUNDS
    uint32_t state;  // LVIS_FOCUSED | LVIS_SELECTED
    int32_t image;
    char label[kLabelSize];  // LVM_GETITEMTEXT, always NUL-terminated
};

struct CounterRecord {
    int32_t code;  // NMHDR code
    uint32_t count;
};

struct NotificationRecord {
    uint32_t sequence;  // 1 for the first notification after a reset
    int32_t code;
    int32_t item;
    uint32_t newState, oldState, changed;
};

struct ViewRecord {
    int32_t itemCount;
    int32_t selectedCount;
    int32_t focusedItem;  // -1 when none
    uint32_t textColor;  // LVM_GETTEXTCOLOR
    uint32_t textBkColor;  // LVM_GETTEXTBKCOLOR
    uint32_t bkColor;  // LVM_GETBKCOLOR
    uint32_t style;  // GWL_STYLE of the list view
    uint32_t exStyle;  // GWL_EXSTYLE
    uint32_t listViewExStyle;  // LVM_GETEXTENDEDLISTVIEWSTYLE
    uint32_t hasFocus;  // the list view is the focus window
    uint32_t listViewSubclassed;  // its window procedure is not the host's own
    uint32_t defViewSubclassed;
    RectRecord progmanRect;  // window rectangles in screen coordinates
    RectRecord defViewRect;
    RectRecord listViewRect;
    int32_t screenWidth, screenHeight;
    int32_t iconSpacingX, iconSpacingY;
    uint32_t displayChanges;  // WM_DISPLAYCHANGE messages handled
    uint32_t shellArranges;  // re-arrangements after a display change (/rearrange)
    uint32_t folderSyncs;
    uint32_t counterCount;
    uint32_t otherNotifications;  // codes beyond the counter table
    CounterRecord counters[kMaxCounters];
    uint32_t notificationTotal;
    uint32_t recentCount;  // valid entries of recent, oldest first
    NotificationRecord recent[kRecentNotifications];
    char folder[kPathSize];  // the desktop folder shown
};

struct Answer {
    uint32_t sequence;
    uint32_t code;
    uint32_t ok;
    int32_t firstIndex;
    int32_t count;  // valid entries of items
    int32_t reserved;
    ViewRecord view;
    ItemRecord items[kItemsPerPage];
    uint64_t elapsedTicks;  // kRequestTimeMoves, in units of tickFrequency per second
    uint64_t tickFrequency;
};

struct SharedBlock {
    HostHeader header;
    Request request;
    Answer answer;
};

// Names of the kernel objects of the host with process id pid.
inline void FormatObjectName(char* buffer, size_t size, uint32_t pid, const char* kind)
{
    std::snprintf(buffer, size, "Local\\DervaneDesktopHost.%lu.%s", static_cast<unsigned long>(pid), kind);
}

constexpr const char* kMappingKind = "Map";
constexpr const char* kRequestKind = "Request";
constexpr const char* kAnswerKind = "Answer";
constexpr const char* kLockKind = "Lock";

}  // namespace DesktopHostProtocol
