#include "hook/ScreenFit.h"

#include <windows.h>

#include "common/LayoutFormat.h"
#include "hook/Appearance.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/LayoutFiles.h"
#include "hook/Monitors.h"
#include "hook/ScreenSnapshots.h"

void CheckDisplaySize()
{
    if (!g_shared.enabled)
        return;
    const Arrangement old = g_process.arrangement;
    const POINT oldOrigin = g_process.viewOrigin;
    const int oldWidth = g_shared.viewWidth;
    const int oldHeight = g_shared.viewHeight;
    MeasureDesktop();
    // Nothing to do while neither the monitors nor the view changed.
    if (old.SameAs(g_process.arrangement) && oldOrigin.x == g_process.viewOrigin.x &&
        oldOrigin.y == g_process.viewOrigin.y && g_shared.viewWidth == oldWidth && g_shared.viewHeight == oldHeight)
        return;
    // What was about to be kept belongs to the old arrangement, and the icons
    // are about to be placed for the new one: nothing is written until they
    // move again.
    DropPendingSnapshot();
    if (g_shared.restoreOnRes) {
        LayoutPlacement placed;
        if (LoadScreenSnapshot(&placed)) {
            // Icons that came after the snapshot was kept follow the monitors.
            FollowArrangement(old, oldOrigin, &placed);
        } else if (!LoadPositions(ScreenLayoutFileName(g_shared.screenWidth, g_shared.screenHeight).c_str())) {
            FollowArrangement(old, oldOrigin);
        }
    }
    ApplyAppearance(true);
    g_shared.rehidePending = 1;
}

void FitListViewToScreen()
{
    HWND lv = g_shared.listView;
    const Arrangement now = MeasureArrangement();
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
