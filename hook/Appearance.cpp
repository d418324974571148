#include "hook/Appearance.h"

#include <windows.h>
#include <commctrl.h>

#include "hook/DesktopListView.h"
#include "hook/HideRules.h"
#include "hook/HookSharedData.h"
#include "hook/IconHiding.h"

void RepaintListView()
{
    InvalidateRect(g_shared.listView, nullptr, TRUE);
    UpdateWindow(g_shared.listView);
}

void ApplyViewStyle()
{
    const CDesktopListView lv(g_shared.listView);
    const DWORD base = g_shared.shellStyle & ~static_cast<DWORD>(LVS_TYPEMASK);
    const int style = g_shared.appearance.iconStyle;
    if (style == 0) {
        lv.SetStyleKeepingPositions(base | LVS_ICON);
    } else if (style == 1 && !g_shared.webViewDesktop) {
        lv.SetStyleKeepingPositions(base | LVS_SMALLICON);
    } else {
        return;
    }
    HideAgain();
}

bool ApplyAppearance(bool force)
{
    if (!g_shared.enabled)
        return false;
    HWND hwnd = g_shared.listView;
    const dervaneGroup1_t& look = g_shared.appearance;
    SendMessageW(hwnd, LVM_SETTEXTCOLOR, 0, look.textForeground);
    SendMessageW(hwnd, LVM_SETTEXTBKCOLOR, 0, look.textBackgroundOpaque ? look.textBackground : CLR_NONE);
    if (force || look.iconStyle != g_shared.previousAppearance.iconStyle)
        ApplyViewStyle();
    return true;
}

void RestoreShellAppearance()
{
    HWND hwnd = g_shared.listView;
    SendMessageW(hwnd, LVM_SETTEXTCOLOR, 0, g_shared.shellTextColor);
    SendMessageW(hwnd, LVM_SETTEXTBKCOLOR, 0, g_shared.shellTextBkColor);
    CDesktopListView(hwnd).SetStyleKeepingPositions(g_shared.shellStyle);
}

void ApplySettings(const SettingsBlock& settings)
{
    const bool wasEnabled = g_shared.enabled != 0;
    const bool wasHideEnabled = g_shared.hideEnabled != 0;
    g_shared.previousAppearance = g_shared.appearance;

    g_shared.enabled = settings.enabled ? 1 : 0;
    g_shared.hideEnabled = settings.hideEnabled ? 1 : 0;
    g_shared.adjustByPixel = settings.adjustByPixel ? 1 : 0;
    g_shared.restoreOnRes = settings.restoreOnRes ? 1 : 0;
    g_shared.keepSnapshots = settings.keepSnapshots ? 1 : 0;
    g_shared.appearance.textBackgroundOpaque = static_cast<int8_t>(settings.textBackgroundOpaque);
    g_shared.appearance.iconStyle = static_cast<int8_t>(settings.iconStyle);
    g_shared.appearance.textForeground = settings.textForeground;
    g_shared.appearance.textBackground = settings.textBackground;

    // The rules are applied to every icon once at most (each application
    // reads every shortcut a rule of targets needs).
    bool rulesApplied = false;
    if (!g_shared.hideRulesLoaded) {
        ReloadHideRules();
        g_shared.hideRulesLoaded = 1;
        rulesApplied = true;
    }
    const bool enabled = g_shared.enabled != 0;
    const bool turnedOn = enabled && !wasEnabled;
    const bool turnedOff = !enabled && wasEnabled;
    if (turnedOff)
        RestoreShellAppearance();

    bool repaint = turnedOff;
    if (ApplyAppearance(turnedOn))
        repaint = true;
    if (turnedOn)
        repaint = true;

    const bool hideEnabled = g_shared.hideEnabled != 0;
    if (hideEnabled && (!wasHideEnabled || turnedOn)) {
        if (!rulesApplied)
            ApplyHideRulesToAll();
        HideAgain();
    }
    if ((!hideEnabled && wasHideEnabled) || turnedOff)
        ShowAllIcons();
    if (repaint)
        RepaintListView();
}
