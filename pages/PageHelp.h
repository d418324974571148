// Context help of the pages and their dialogs: F1 or the caption's "?" on a
// control, and a right click on one, show that control's help from the
// program's help file.
#pragma once

#include <windows.h>

// The help id of a control of a dialog, from the help tables; 0 if it has none.
unsigned long HelpIdOf(UINT dialogId, int controlId);

// Handles WM_HELP and WM_CONTEXTMENU of a page or dialog; answers true when
// it showed (or tried to show) a control's help.
bool HandleContextHelp(HWND dialog, UINT dialogId, UINT msg, WPARAM wp, LPARAM lp);
