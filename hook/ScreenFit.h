// Following changes of the monitors on the desktop.
//
// After a display change the shell places icons itself, a moment later (on
// Windows it puts back its own positions for the new size). So the icons'
// places are taken as they were when the change was first seen, and the
// library places them only once no icon has moved for kSettleQuietMs (at
// most kSettleLimitMs after the last change): its placement is the last. The
// wait runs on a timer of the list view, restarted by every move; it never
// holds the shell's thread.
#pragma once

#include <windows.h>

// The list view's timer that ends the wait, and its delays.
constexpr UINT_PTR kSettleTimerId = 0x44565302;
constexpr UINT kSettleQuietMs = 500;
constexpr UINT kSettleLimitMs = 3000;

// The list view's WM_SIZE: the icons follow when the monitors or the view
// changed since they were last placed.
void CheckDisplaySize();
// HOOKMSG_SCREEN_CHANGED: fits the list view to all monitors together, then
// the icons follow as on WM_SIZE.
void FitListViewToScreen();

// Icons are about to be moved by the shell or the user. While the library
// waits after a change, the wait starts again; a move while the screen is
// no longer as measured is the shell placing icons for a change nobody told
// the library of yet, which begins the wait (their places taken first).
void IconsMovingByOthers();
// While waiting after a change: the wait starts again, and true.
bool RestartSettleWait();
// WM_TIMER of the list view; true when it was the settle timer.
bool OnSettleTimer(WPARAM id);
// Forgets a wait under way; at tear-down.
void StopDisplaySettle();
