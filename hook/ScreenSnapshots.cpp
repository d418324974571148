#include "hook/ScreenSnapshots.h"

#include "common/LayoutFormat.h"
#include "framework/ScopedHandles.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/LayoutFiles.h"

namespace {

int g_paused = 0;

void ArmTimer()
{
    if (IsWindow(g_shared.listView))
        SetTimer(g_shared.listView, kSnapshotTimerId, kSnapshotDelayMs, nullptr);
}

// The screen and the list view still have the sizes last measured. When they
// do not, a display change is on its way, which places the icons itself.
bool ScreenAsMeasured()
{
    HWND lv = g_shared.listView;
    const ScopedGetDC dc = ScopedGetDC::OfWholeWindow(lv);
    RECT rc = {};
    if (!dc || !GetWindowRect(lv, &rc))
        return false;
    return GetDeviceCaps(dc.Get(), HORZRES) == g_shared.screenWidth &&
        GetDeviceCaps(dc.Get(), VERTRES) == g_shared.screenHeight && rc.right - rc.left == g_shared.viewWidth &&
        rc.bottom - rc.top == g_shared.viewHeight;
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
    if (SnapshotsKept())
        ArmTimer();
}

void DropPendingSnapshot()
{
    StopScreenSnapshots();
}

void StopScreenSnapshots()
{
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
    SavePositionsSnapshot(ScreenSnapshotFileName(g_shared.screenWidth, g_shared.screenHeight).c_str());
    return true;
}

bool LoadScreenSnapshot(LayoutPlacement* placed)
{
    if (!SnapshotsKept())
        return false;
    return PlaceSnapshot(ScreenSnapshotFileName(g_shared.screenWidth, g_shared.screenHeight).c_str(), placed);
}
