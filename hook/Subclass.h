// The replaced window procedures of the desktop list view and its parent in
// their windows' chains (the procedures themselves: DervaneHook.h).
#pragma once

#include <windows.h>

// Puts the library's procedures in front of the list view's and its
// parent's, or takes them up again where an earlier tear-down left them in
// the chains; false when the list view's is in no chain.
bool ChainDesktopProcedures(HWND listView, HWND defView);
// Takes them out where they are still the windows' procedures; where another
// program's procedure is in front of one, ours stays and passes every
// message on.
void UnchainDesktopProcedures(HWND listView, HWND defView);
