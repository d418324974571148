// Another desktop tool's subclass of the desktop list view (OtherSubclass.cpp).
#pragma once

#include <windows.h>

#ifdef OTHER_SUBCLASS_BUILD
#define OTHER_SUBCLASS_API extern "C" __declspec(dllexport)
#else
#define OTHER_SUBCLASS_API extern "C" __declspec(dllimport)
#endif

// Puts a counting procedure in front of the list view's, from its own thread.
OTHER_SUBCLASS_API bool OTHER_Install(HWND listView);
OTHER_SUBCLASS_API bool OTHER_Installed();
// Messages the counting procedure has passed on.
OTHER_SUBCLASS_API long OTHER_Messages();
OTHER_SUBCLASS_API void OTHER_Unhook();
