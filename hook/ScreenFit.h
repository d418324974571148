// Following display size changes on the desktop.
#pragma once

// The display-size check the list view runs on WM_SIZE.
void CheckDisplaySize();
struct LayoutPlacement;

// Moves every icon and the program's desktop windows by the factors of the
// view's growth from oldWidth x oldHeight; with placed, only those that
// layout did not place.
void ScaleToView(int oldWidth, int oldHeight, const LayoutPlacement* placed = nullptr);
// HOOKMSG_SCREEN_CHANGED: fits the list view to a screen of a new size.
void FitListViewToScreen();
