// The exports of DervaneHook.dll that the program links against.
#pragma once

#include <windows.h>

#include "hook/HookProtocol.h"

#ifdef DERVANE_HOOK_BUILD
#define DERVANE_HOOK_API extern "C" __declspec(dllexport)
#else
#define DERVANE_HOOK_API extern "C" __declspec(dllimport)
#endif

// Attaches to the desktop with a window, detaches with a null window.
DERVANE_HOOK_API void HOOK_AttachDLL(HWND programWindow, char* programFolder);
DERVANE_HOOK_API int HOOK_IsReady();
DERVANE_HOOK_API unsigned int HOOK_GetMessageID();
DERVANE_HOOK_API dervaneMsg_t* HOOK_GetMessage();
DERVANE_HOOK_API dervaneGroup1_t* HOOK_GetGroup1();
DERVANE_HOOK_API void HOOK_GetSelectedIconCount(int* total, int* selected);
DERVANE_HOOK_API unsigned long HOOK_SendMessage(dervaneMsg_t* msg);
// The desktop list view the library works on (null before an attach found
// one), so the program can tell when the shell has replaced it.
DERVANE_HOOK_API HWND HOOK_GetListView();
// 1 when the shell has moved the desktop's "SHELLDLL_DefView" to another
// parent since the attach (into or out of a "WorkerW"): the program then
// attaches again, as after a shell restart.
DERVANE_HOOK_API int HOOK_IsDesktopMoved();
// How many shortcuts the hide rules have read in the desktop's process since
// it was set up: what a change of the desktop costs.
DERVANE_HOOK_API long HOOK_GetShortcutReads();
DERVANE_HOOK_API LRESULT CALLBACK SubclassCallWndProc(HWND, UINT, WPARAM, LPARAM);
DERVANE_HOOK_API LRESULT CALLBACK SubclassParentCallWndProc(HWND, UINT, WPARAM, LPARAM);
