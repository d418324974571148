#include "hook/ScreenFit.h"

#include <windows.h>

#include "common/LayoutFormat.h"
#include "hook/Appearance.h"
#include "hook/DesktopListView.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/LayoutFiles.h"
#include "hook/ScreenSnapshots.h"
#include "hook/ShellLinks.h"

namespace {

void ScaleWindow(const char* title, double fx, double fy)
{
    POINT pt = {};
    if (!GetSpecialWindowPosition(title, &pt))
        return;
    MoveSpecialWindow(title, static_cast<int>(pt.x * fx), static_cast<int>(pt.y * fy));
}

}  // namespace

void CheckDisplaySize()
{
    if (!g_shared.enabled)
        return;
    const int oldWidth = g_shared.viewWidth;
    const int oldHeight = g_shared.viewHeight;
    MeasureDesktop();
    // Nothing to restore or scale unless the view really changed its size.
    if (g_shared.viewWidth == oldWidth && g_shared.viewHeight == oldHeight)
        return;
    // What was about to be kept belongs to the old size, and the icons are
    // about to be placed for the new one: nothing is written until they move again.
    DropPendingSnapshot();
    if (g_shared.restoreOnRes) {
        LayoutPlacement placed;
        if (LoadScreenSnapshot(&placed)) {
            // Icons that came after the snapshot was kept follow the screen.
            ScaleToView(oldWidth, oldHeight, &placed);
        } else if (!LoadPositions(ScreenLayoutFileName(g_shared.screenWidth, g_shared.screenHeight).c_str())) {
            ScaleToView(oldWidth, oldHeight);
        }
    }
    ApplyAppearance(true);
    g_shared.rehidePending = 1;
}

void ScaleToView(int oldWidth, int oldHeight, const LayoutPlacement* placed)
{
    if (oldWidth <= 0 || oldHeight <= 0)
        return;
    const double fx = static_cast<double>(g_shared.viewWidth) / oldWidth;
    const double fy = static_cast<double>(g_shared.viewHeight) / oldHeight;
    const CDesktopListView lv(g_shared.listView);
    const int count = lv.Count();
    for (int i = 0; i < count; ++i) {
        if (placed && static_cast<size_t>(i) < placed->icons.size() && placed->icons[static_cast<size_t>(i)])
            continue;
        POINT pt = {};
        if (!lv.GetPosition(i, &pt))
            continue;
        int x = static_cast<int>(pt.x * fx);
        int y = static_cast<int>(pt.y * fy);
        const SIZE size = lv.BoundsSize(i);
        if (x > g_shared.viewWidth - size.cx)
            x = g_shared.viewWidth - size.cx;
        if (y > g_shared.viewHeight - size.cy)
            y = g_shared.viewHeight - size.cy;
        lv.SetPosition(i, x, y);
    }
    if (!placed || !placed->deleteWindow)
        ScaleWindow(DELETE_ICON_TITLE, fx, fy);
    if (!placed || !placed->backupWindow)
        ScaleWindow(BACKUP_ICON_TITLE, fx, fy);
}

void FitListViewToScreen()
{
    const WORD oldWidth = g_shared.screenWidth;
    const WORD oldHeight = g_shared.screenHeight;
    MeasureDesktop();
    if (g_shared.screenWidth == oldWidth && g_shared.screenHeight == oldHeight)
        return;
    DropPendingSnapshot();
    SetWindowPos(g_shared.listView, nullptr, 0, 0, g_shared.screenWidth, g_shared.screenHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
