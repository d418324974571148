#include "hook/ScreenSnapshots.h"

#include "common/LayoutFormat.h"
#include "framework/ScopedHandles.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/LayoutFiles.h"
#include "hook/Monitors.h"
#include "hook/ScreenFit.h"

namespace {

int g_paused = 0;
bool g_due = false;  // the timer runs: a snapshot is due

void ArmTimer()
{
    if (IsWindow(g_shared.listView))
        g_due = SetTimer(g_shared.listView, kSnapshotTimerId, kSnapshotDelayMs, nullptr) != 0;
}

// The monitors and the list view are still as last measured. When they are
// not, a display change is on its way, which places the icons itself.
bool ScreenAsMeasured()
{
    HWND lv = g_shared.listView;
    const ScopedGetDC dc = ScopedGetDC::OfWholeWindow(lv);
    RECT rc = {};
    if (!dc || !GetWindowRect(lv, &rc))
        return false;
    return GetDeviceCaps(dc.Get(), HORZRES) == g_shared.screenWidth &&
        GetDeviceCaps(dc.Get(), VERTRES) == g_shared.screenHeight && rc.right - rc.left == g_shared.viewWidth &&
        rc.bottom - rc.top == g_shared.viewHeight && MeasureArrangement().SameAs(g_process.arrangement);
}

}  // namespace

CSnapshotsPaused::CSnapshotsPaused()
{
    ++g_paused;
}

CSnapshotsPaused::~CSnapshotsPaused()
{
    --g_paused;
}

bool SnapshotsKept()
{
    return g_process.setUp && g_process.lists && g_shared.enabled && g_shared.restoreOnRes && g_shared.keepSnapshots;
}

void NoteIconsMoved()
{
    // After a display change the icons are placed once they settle; what is
    // kept follows from there.
    if (RestartSettleWait())
        return;
    if (SnapshotsKept())
        ArmTimer();
}

void DropPendingSnapshot()
{
    StopScreenSnapshots();
}

void SavePendingSnapshot()
{
    if (!g_due || g_paused > 0 || !SnapshotsKept())
        return;
    StopScreenSnapshots();
    SavePositionsSnapshot(ArrangementSnapshotFileName(CurrentArrangement()).c_str());
}

void StopScreenSnapshots()
{
    g_due = false;
    if (IsWindow(g_shared.listView))
        KillTimer(g_shared.listView, kSnapshotTimerId);
}

bool OnSnapshotTimer(WPARAM id)
{
    if (id != kSnapshotTimerId)
        return false;
    if (g_paused > 0) {
        ArmTimer();
        return true;
    }
    StopScreenSnapshots();
    if (!SnapshotsKept() || !ScreenAsMeasured())
        return true;
    SavePositionsSnapshot(ArrangementSnapshotFileName(CurrentArrangement()).c_str());
    return true;
}

bool LoadScreenSnapshot(LayoutPlacement* placed)
{
    if (!SnapshotsKept())
        return false;
    return PlaceSnapshot(ArrangementSnapshotFileName(CurrentArrangement()).c_str(), placed);
}
