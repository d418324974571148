#include "hook/ScreenFit.h"

#include <algorithm>
#include <vector>

#include "common/LayoutFormat.h"
#include "hook/Appearance.h"
#include "hook/DesktopListView.h"
#include "hook/HookProcess.h"
#include "hook/HookProtocol.h"
#include "hook/HookSharedData.h"
#include "hook/LayoutFiles.h"
#include "hook/Monitors.h"
#include "hook/ScreenSnapshots.h"

namespace {

// A display change being waited out: what the icons were placed for, and
// where they stood, before anyone moved them for the new screen.
struct Settle {
    bool waiting = false;
    // The desktop was seen to change (not only the screen's metrics, by a
    // move of the shell's that came first).
    bool changeSeen = false;
    Arrangement from;
    POINT fromOrigin = {};
    SIZE fromView = {};
    IconPlaces before;
    ULONGLONG deadline = 0;
};

Settle g_settle;

// The screen's metrics take four calls into the system: during a run of
// moves (the shell places every icon) they are read at most this often.
constexpr ULONGLONG kMetricsIntervalMs = 50;

bool ScreenChangedLately()
{
    static ULONGLONG readAt = 0;
    const ULONGLONG now = GetTickCount64();
    if (readAt != 0 && now - readAt < kMetricsIntervalMs)
        return false;
    readAt = now;
    return ScreenChangedSinceMeasured();
}

void ArmSettleTimer()
{
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG left = g_settle.deadline > now ? g_settle.deadline - now : 0;
    const UINT delay = static_cast<UINT>(std::max<ULONGLONG>(std::min<ULONGLONG>(kSettleQuietMs, left), 1));
    if (IsWindow(g_shared.listView))
        SetTimer(g_shared.listView, kSettleTimerId, delay, nullptr);
}

// Each change gives the shell its own time: a change during the wait
// extends it, moves only restart the quiet time within it.
void BeginSettle(const Arrangement& from, POINT fromOrigin, SIZE fromView, bool changeSeen)
{
    g_settle.changeSeen = g_settle.changeSeen || changeSeen;
    if (!g_settle.waiting) {
        DropPendingSnapshot();
        g_settle.waiting = true;
        g_settle.changeSeen = changeSeen;
        g_settle.from = from;
        g_settle.fromOrigin = fromOrigin;
        g_settle.fromView = fromView;
        const CDesktopListView lv(g_shared.listView);
        const int count = std::max(lv.Count(), 0);
        g_settle.before.at.assign(static_cast<size_t>(count), POINT{});
        g_settle.before.known.assign(static_cast<size_t>(count), false);
        for (int i = 0; i < count; ++i)
            g_settle.before.known[static_cast<size_t>(i)] = lv.GetPosition(i,
                                                                           &g_settle.before.at[static_cast<size_t>(i)]);
    }
    g_settle.deadline = GetTickCount64() + kSettleLimitMs;
    ArmSettleTimer();
}

// Places the icons for the monitors now, from where they stood before the
// change: from this arrangement's snapshot, else from the user's layout for
// the primary's size, else by the monitors' rule.
void PlaceAfterChange(const Arrangement& old, POINT oldOrigin, const IconPlaces* before)
{
    LayoutPlacement placed;
    if (LoadScreenSnapshot(&placed)) {
        // Icons that came after the snapshot was kept follow the monitors.
        FollowArrangement(old, oldOrigin, &placed, false, before);
    } else if (!LoadPositions(ScreenLayoutFileName(g_shared.screenWidth, g_shared.screenHeight).c_str())) {
        FollowArrangement(old, oldOrigin, nullptr, false, before);
    }
}

bool DesktopAsBefore()
{
    return g_settle.from.SameAs(g_process.arrangement) && g_settle.fromOrigin.x == g_process.viewOrigin.x &&
        g_settle.fromOrigin.y == g_process.viewOrigin.y && g_settle.fromView.cx == g_shared.viewWidth &&
        g_settle.fromView.cy == g_shared.viewHeight;
}

void FinishSettle()
{
    StopDisplaySettle();
    if (!g_process.setUp || !g_shared.enabled || !g_shared.restoreOnRes)
        return;
    LARGE_INTEGER frequency = {}, start = {}, end = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    MeasureDesktop();
    // Moves while the screen's metrics had changed, and then neither the
    // monitors nor the view did: nothing to place for.
    if (!g_settle.changeSeen && DesktopAsBefore()) {
        g_settle.before = IconPlaces();
        return;
    }
    {
        const CSnapshotsPaused paused;
        PlaceAfterChange(g_settle.from, g_settle.fromOrigin, &g_settle.before);
        ApplyAppearance(true);
    }
    g_shared.rehidePending = 1;
    QueryPerformanceCounter(&end);
    const LONGLONG micros = frequency.QuadPart > 0 ? (end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart : 0;
    g_settle.before = IconPlaces();
    PostNotice(HOOKNOTICE_DISPLAY_FOLLOWED, static_cast<LPARAM>(micros));
}

}  // namespace

void CheckDisplaySize()
{
    if (!g_shared.enabled) {
        // Nothing is placed while the features are off: the screen as it is
        // now is no change that a later move could be taken to follow.
        RememberScreenMetrics();
        return;
    }
    const Arrangement old = g_process.arrangement;
    const POINT oldOrigin = g_process.viewOrigin;
    const int oldWidth = g_shared.viewWidth;
    const int oldHeight = g_shared.viewHeight;
    MeasureDesktop();
    // Nothing to do while neither the monitors nor the view changed.
    if (old.SameAs(g_process.arrangement) && oldOrigin.x == g_process.viewOrigin.x &&
        oldOrigin.y == g_process.viewOrigin.y && g_shared.viewWidth == oldWidth && g_shared.viewHeight == oldHeight)
        return;
    if (g_shared.restoreOnRes) {
        BeginSettle(old, oldOrigin, SIZE{oldWidth, oldHeight}, true);
        return;
    }
    // What was about to be kept belongs to the old arrangement: nothing is
    // written until the icons move again.
    DropPendingSnapshot();
    ApplyAppearance(true);
    g_shared.rehidePending = 1;
}

void FitListViewToScreen()
{
    HWND lv = g_shared.listView;
    const Arrangement now = MeasureArrangement();
    // Announced before the shell moved anything (else the wait for it has
    // begun and dropped what was due): the icons still stand where the user
    // left them, on the arrangement they were placed for.
    if (!g_settle.waiting && !now.SameAs(g_process.arrangement))
        SavePendingSnapshot();
    RECT rc = {};
    if (!now.Empty() && GetWindowRect(lv, &rc)) {
        // Screen coordinates have the primary's top-left corner at 0,0, as
        // the arrangement has.
        const Box all = now.Bounds();
        if (all != Box{rc.left, rc.top, rc.right, rc.bottom}) {
            POINT at = {all.left, all.top};
            if (HWND parent = GetParent(lv))
                ScreenToClient(parent, &at);
            SetWindowPos(lv, nullptr, at.x, at.y, all.Width(), all.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    // A change of the monitors that left the view's size as it was.
    CheckDisplaySize();
}

void IconsMovingByOthers()
{
    if (RestartSettleWait())
        return;
    if (g_shared.enabled && g_shared.restoreOnRes && ScreenChangedLately()) {
        BeginSettle(g_process.arrangement, g_process.viewOrigin, SIZE{g_shared.viewWidth, g_shared.viewHeight}, false);
        return;
    }
    NoteIconsMoved();
}

bool RestartSettleWait()
{
    if (!g_settle.waiting)
        return false;
    ArmSettleTimer();
    return true;
}

bool OnSettleTimer(WPARAM id)
{
    if (id != kSettleTimerId)
        return false;
    if (g_settle.waiting)
        FinishSettle();
    else
        StopDisplaySettle();
    return true;
}

void StopDisplaySettle()
{
    g_settle.waiting = false;
    if (IsWindow(g_shared.listView))
        KillTimer(g_shared.listView, kSettleTimerId);
}
