// What the replaced procedures do with requests, messages and notifications.
#pragma once

#include <windows.h>

#include "hook/HookProtocol.h"

// Carries out one request of the program; the answer becomes lastResult.
DWORD DispatchHookRequest(const dervaneMsg_t& request);

// Looks at a list view message before the shell's procedure gets it. Answers
// true when the message was handled here and must not be passed on.
bool FilterListViewMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* answer);

// Looks at a notification the list view sends its parent.
void ObserveListViewNotification(LPARAM lParam);
