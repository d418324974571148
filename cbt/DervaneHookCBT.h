// The auto-respond engine: watches the top-level windows of every process of
// the desktop and performs the actions of the rules in "Respond.txt" on the
// windows they name.
#pragma once

#include <windows.h>

#ifdef DERVANE_CBT_BUILD
#define HOOKCBT_API extern "C" __declspec(dllexport)
#else
#define HOOKCBT_API extern "C" __declspec(dllimport)
#endif

// With the program's window that plays the rules' sounds (the engine posts
// them to it, respond/RespondEngine.h) and the program folder (which holds
// "Respond.txt"), starts the engine; with two null arguments, stops it and
// unhooks it from every process. Starting a running engine only takes the
// new window and folder.
HOOKCBT_API void HOOKCBT_AttachDLL(HWND mainWindow, char* folder);
// The rules have changed: the engine reads "Respond.txt" again.
HOOKCBT_API void HOOKCBT_RespondListUpdated();
