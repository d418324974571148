// Following changes of the monitors on the desktop.
#pragma once

// The list view's WM_SIZE: the icons follow when the monitors or the view
// changed since they were last placed.
void CheckDisplaySize();
// HOOKMSG_SCREEN_CHANGED: fits the list view to all monitors together, then
// the icons follow as on WM_SIZE.
void FitListViewToScreen();
