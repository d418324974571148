// The block both copies of the hook library share: the program's process
// writes the window handles of attach, the program folder and the message
// record; the desktop's process writes everything else.
#pragma once

#include <windows.h>

#include "hook/HookProtocol.h"

struct HookSharedData {
    HWND listView;  // the desktop list view everything works on
    HWND defView;  // "SHELLDLL_DefView", the list view's parent
    HWND defViewParent;  // defView's parent at attach: a change means the shell moved it
    HWND programWindow;  // notifications from the hook go here
    char programFolder[kProgramFolderSize];  // no trailing backslash
    DWORD listViewProcessId;  // the desktop's process: the one that owns listView
    DWORD listViewThreadId;
    // Raised by every attach; the desktop's process sets up again when it sees
    // a value it has not set up for (a new program instance).
    LONG attachGeneration;
    BYTE attached;  // between attach and detach: set-up may run
    WORD screenWidth, screenHeight;  // display size as last measured
    WORD viewWidth, viewHeight;  // list view window size as last measured
    BYTE hideEnabled;
    BYTE hideRulesLoaded;
    BYTE adjustByPixel;
    BYTE restoreOnRes;
    dervaneGroup1_t appearance = {0xFFFFFFFFu, 0xFFFFFFFFu, -1, -1};
    dervaneGroup1_t previousAppearance = {0xFFFFFFFFu, 0xFFFFFFFFu, -1, -1};
    DWORD shellStyle;
    COLORREF shellTextColor, shellTextBkColor;
    HHOOK hook;
    LONG attachCount;  // processes that have the library loaded
    BYTE ready;  // set-up in the desktop's process is complete
    dervaneMsg_t message;  // the one record shared by both directions
    UINT hookMessageId;  // "DERVANE_HOOK_MESSAGE_ID"
    DWORD lastResult;
    BYTE enabled;
    BYTE webViewDesktop;
    BYTE ctrlDown;
    BYTE repaintPending;
    BYTE rehidePending;
    BYTE keepSnapshots;  // keep the icons' places of each screen size
    LONG shortcutReads;  // shortcuts the hide rules read since the set-up
};

// The one instance, in the library's shared section.
extern HookSharedData g_shared;
