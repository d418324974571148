// The icons' places kept for each arrangement of monitors. A few seconds
// after icons last moved (by the user or the shell, never by this library
// itself), their places are written to the snapshot of the arrangement shown,
// a file of its own beside the user's layouts; a display change to an
// arrangement that has one puts the icons back from it. The user's "%dx%d.dvl" layouts are never
// written here.
#pragma once

#include <windows.h>

struct LayoutPlacement;

// The desktop list view's timer that writes a due snapshot, and its delay
// after the last move.
constexpr UINT_PTR kSnapshotTimerId = 0x44565301;
constexpr UINT kSnapshotDelayMs = 3000;

// Whether snapshots are kept now: the features on, icons adjusted with the
// screen size, and the switch of the Icons page on.
bool SnapshotsKept();

// Icons moved: the snapshot of this arrangement is due kSnapshotDelayMs
// from now (a later move puts it off again).
void NoteIconsMoved();
// A display change began: a due snapshot is dropped, since the icons will be
// placed for the new size before anything is written again.
void DropPendingSnapshot();
// A display change is announced before anyone moved an icon for it: a due
// snapshot is written now, for the arrangement the icons still stand on
// (the user's last moves are not lost to it).
void SavePendingSnapshot();
// WM_TIMER of the list view; true when it was the snapshot's timer.
bool OnSnapshotTimer(WPARAM id);
// Stops the timer; at tear-down.
void StopScreenSnapshots();

// Places the icons from the snapshot of the arrangement just measured, keeping
// the appearance; false when snapshots are not kept or there is no readable one.
bool LoadScreenSnapshot(LayoutPlacement* placed);

// While one lives, the library is loading a layout or following a display
// change: a snapshot that falls due then waits for the next turn.
class CSnapshotsPaused {
public:
    CSnapshotsPaused();
    ~CSnapshotsPaused();
    CSnapshotsPaused(const CSnapshotsPaused&) = delete;
    CSnapshotsPaused& operator=(const CSnapshotsPaused&) = delete;
};
