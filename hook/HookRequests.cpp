#include "hook/HookRequests.h"

#include <commctrl.h>

#include <cstring>

#include "hook/Appearance.h"
#include "hook/DesktopListView.h"
#include "hook/HideRules.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/IconHiding.h"
#include "hook/LayoutFiles.h"
#include "hook/ScreenFit.h"
#include "hook/ScreenSnapshots.h"
#include "hook/ShellLinks.h"

namespace {

WNDPROC ShellProc()
{
    return g_process.shellListViewProc;
}

// Ctrl+arrow: every selected icon moves one pixel; the selection stays.
void ShiftSelectedIcons(int dx, int dy)
{
    const CDesktopListView lv(g_shared.listView);
    const int count = lv.Count();
    for (int i = 0; i < count; ++i) {
        POINT pt = {};
        if (lv.IsSelected(i) && lv.GetPosition(i, &pt))
            lv.SetPosition32(i, POINT{pt.x + dx, pt.y + dy});
    }
    NoteIconsMoved();
}

bool OnKeyDown(WPARAM key)
{
    if (key == VK_CONTROL)
        g_shared.ctrlDown = 1;
    if (!g_shared.adjustByPixel || !g_shared.ctrlDown)
        return false;
    switch (key) {
    case VK_LEFT: ShiftSelectedIcons(-1, 0); return true;
    case VK_RIGHT: ShiftSelectedIcons(1, 0); return true;
    case VK_UP: ShiftSelectedIcons(0, -1); return true;
    case VK_DOWN: ShiftSelectedIcons(0, 1); return true;
    default: return false;
    }
}

void OnPaint()
{
    if (g_shared.repaintPending) {
        g_shared.repaintPending = 0;
        if (ApplyAppearance(false))
            RepaintListView();
    }
    if (g_shared.rehidePending) {
        g_shared.rehidePending = 0;
        HideAgain();
    }
}

// A hidden icon asked to move elsewhere stays parked, at the new x.
LRESULT OnSetItemPosition32(HWND wnd, WPARAM index, LPARAM lParam)
{
    const auto* requested = reinterpret_cast<const POINT*>(lParam);
    char label[kIconLabelSize];
    // Without hidden icons there is no label to look for: every move of a
    // layout load passes here, so the text is not read then.
    const bool anyHidden = g_process.lists && !g_process.lists->hiddenIcons.empty();
    if (requested && anyHidden && CDesktopListView(wnd).GetLabel(static_cast<int>(index), label) &&
        FindHiddenIcon(label) >= 0) {
        POINT parked = {requested->x, kParkedY};
        return CallWindowProcW(ShellProc(), wnd, LVM_SETITEMPOSITION32, index, reinterpret_cast<LPARAM>(&parked));
    }
    return CallWindowProcW(ShellProc(), wnd, LVM_SETITEMPOSITION32, index, lParam);
}

// A layout the user had loaded moves the icons as their own moves do.
DWORD LoadLayout(bool (*load)(const char*), const char* name)
{
    bool loaded = false;
    {
        const CSnapshotsPaused paused;
        loaded = load(name);
    }
    if (loaded)
        NoteIconsMoved();
    return loaded ? 1 : 0;
}

}  // namespace

DWORD DispatchHookRequest(const dervaneMsg_t& request)
{
    const char* text = request.payload.text;
    switch (request.code) {
    case HOOKMSG_APPLY_SETTINGS: ApplySettings(request.payload.settings); return 0;
    case HOOKMSG_LOAD_POSITIONS: return LoadLayout(LoadPositions, text);
    case HOOKMSG_LOAD_SHORTCUTS: return LoadLayout(LoadShortcuts, text);
    case HOOKMSG_SAVE_POSITIONS: return SavePositions(text) ? 1 : 0;
    case HOOKMSG_SAVE_SHORTCUTS: return SaveShortcuts(text) ? 1 : 0;
    case HOOKMSG_ICONIFY_POSITIONS: return IconifyLayout(0, text) ? 1 : 0;
    case HOOKMSG_ICONIFY_SHORTCUTS: return IconifyLayout(1, text) ? 1 : 0;
    case HOOKMSG_RELOAD_HIDE_RULES: ReloadHideRules(); return 1;
    case HOOKMSG_SCREEN_CHANGED: FitListViewToScreen(); return 0;
    default: return 0;
    }
}

bool FilterListViewMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* answer)
{
    if (!g_process.setUp || !ShellProc())
        return false;
    switch (msg) {
    case WM_SIZE: {
        // Seen before the list view itself handles it: the icons still stand
        // where they were, on the arrangement they were placed for.
        SavePendingSnapshot();
        const CSnapshotsPaused paused;
        CheckDisplaySize();
        return false;
    }
    case WM_TIMER:
        if (!OnSnapshotTimer(wParam) && !OnSettleTimer(wParam))
            return false;
        *answer = 0;
        return true;
    case WM_STYLECHANGED: {
        // Auto-arrange, another view or alignment: the list view places
        // every icon itself, without a message per icon.
        const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
        const DWORD placing = LVS_TYPEMASK | LVS_AUTOARRANGE | LVS_ALIGNMASK;
        if (wParam == static_cast<WPARAM>(GWL_STYLE) && change && ((change->styleOld ^ change->styleNew) & placing) &&
            !CDesktopListView::LibraryIsMoving()) {
            IconsMovingByOthers();
        }
        return false;
    }
    case LVM_SETEXTENDEDLISTVIEWSTYLE:
        // Aligning to the grid snaps every icon to it.
        if ((wParam == 0 || (wParam & LVS_EX_SNAPTOGRID)) && (lParam & LVS_EX_SNAPTOGRID) &&
            !CDesktopListView::LibraryIsMoving()) {
            IconsMovingByOthers();
        }
        return false;
    case WM_PAINT: OnPaint(); return false;
    case WM_WININICHANGE: {
        // The procedure is a wide one: the section name comes as UTF-16.
        const wchar_t* section = reinterpret_cast<const wchar_t*>(lParam);
        if (section && (wcscmp(section, L"Desktop") == 0 || wcscmp(section, L"RefreshDesktop") == 0)) {
            ApplyAppearance(true);
        }
        return false;
    }
    case WM_DISPLAYCHANGE:
        // The icons follow once the view has its new size (WM_SIZE, or the
        // program's HOOKMSG_SCREEN_CHANGED): measured then, against what they
        // were placed for. They still stand where the user left them: a
        // snapshot that was due is written for the arrangement they are on.
        SavePendingSnapshot();
        return false;
    case WM_KEYDOWN:
        if (!OnKeyDown(wParam))
            return false;
        *answer = 1;
        return true;
    case WM_KEYUP:
        if (wParam == VK_CONTROL)
            g_shared.ctrlDown = 0;
        return false;
    case LVM_SORTITEMS:
    case LVM_SORTITEMSEX:
        // A sort places the icons in their new order.
        IconsMovingByOthers();
        *answer = CallWindowProcW(ShellProc(), wnd, msg, wParam, lParam);
        HideAgain();
        return true;
    case LVM_SETITEMPOSITION32:
        // Noted first: a move for a new screen is told from the places before it.
        if (!CDesktopListView::LibraryIsMoving())
            IconsMovingByOthers();
        *answer = OnSetItemPosition32(wnd, wParam, lParam);
        return true;
    case LVM_SETITEMPOSITION:
    case LVM_ARRANGE:
        // Moves of the shell or the user: the snapshot of this size is due.
        if (!CDesktopListView::LibraryIsMoving())
            IconsMovingByOthers();
        return false;
    default: return false;
    }
}

void ObserveListViewNotification(LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->hwndFrom != g_shared.listView || !g_process.lists)
        return;
    const CDesktopListView lv(g_shared.listView);
    char label[kIconLabelSize];
    switch (header->code) {
    case LVN_DELETEALLITEMS: ApplyAppearance(false); break;
    case LVN_DELETEITEM:
        // With auto-arrange, the icons after it close the gap by themselves.
        IconsMovingByOthers();
        break;
    case LVN_INSERTITEM: {
        // The list view gives the new icon a place of its own.
        IconsMovingByOthers();
        const int index = reinterpret_cast<const NMLISTVIEW*>(lParam)->iItem;
        if (!lv.GetLabel(index, label))
            break;
        const auto& pendingPositions = g_process.lists->pendingPositions;
        const auto pending = pendingPositions.find(label);
        if (pending != pendingPositions.end()) {
            lv.SetPosition32(index, pending->second);
            return;
        }
        if (FindHiddenIcon(label) < 0) {
            ApplyHideRules(label);
        } else {
            HideIcon(label);
        }
        break;
    }
    case LVN_ITEMCHANGED: {
        // A change of the item itself (its text, its image, its item): a
        // change of state alone (a selection, the focus) is none of the rules'.
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uChanged & ~static_cast<UINT>(LVIF_STATE)) == 0)
            break;
        if (change->iItem >= 0 && lv.GetLabel(change->iItem, label))
            ApplyHideRules(label);
        break;
    }
    default: break;
    }
}
