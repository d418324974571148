// What the copies of the engine library in every process share: where the
// engine listens, and the one menu read that a target's thread answers.
// Fixed-size records only: the block lives in the library's shared section.
#pragma once

#include <windows.h>

// Posted to the engine's window by the hooks (WPARAM: the window).
constexpr UINT kCbtWindowCreated = WM_APP + 1;
constexpr UINT kCbtWindowActivated = WM_APP + 2;
// Posted by a target's thread when it has copied its menu (WPARAM: the
// request number it answers).
constexpr UINT kCbtMenuRead = WM_APP + 3;

constexpr int kCbtMenuItems = 256;
constexpr int kCbtMenuLabelChars = 128;

struct CbtMenuItem {
    UINT id;
    UINT state;  // MFS_DISABLED / MFS_GRAYED as GetMenuState answers them
    // UTF-16 as the menu gives it: the target's thread converts nothing (it
    // allocates nothing); the engine makes UTF-8 of it.
    wchar_t label[kCbtMenuLabelChars];
};

struct CbtMenuRead {
    LONG request;  // raised by the engine for each read it asks for
    LONG answered;  // the request the items below belong to
    HWND window;  // whose menu bar is to be read
    LONG itemCount;  // command items only, depth first in menu order
    LONG truncated;  // more items than fit
    CbtMenuItem items[kCbtMenuItems];
};

struct CbtSharedData {
    HWND engineWindow;  // null while no engine runs
    DWORD engineProcessId;
    UINT menuReadMessage;  // "DERVANE_CBT_MENU_READ", posted to the target window
    CbtMenuRead menu;
};

extern CbtSharedData g_cbtShared;
extern HINSTANCE g_cbtModule;

// The hook procedures, set by the engine's thread.
LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CbtMenuReadProc(int code, WPARAM wParam, LPARAM lParam);
