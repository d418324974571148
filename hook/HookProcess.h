// State private to each process that has the hook library loaded.
#pragma once

#include <windows.h>

#include <memory>

#include "common/DebugLog.h"
#include "hook/Arrangement.h"
#include "hook/HookLists.h"

struct HookProcess {
    HMODULE module = nullptr;
    // Set-up has run in this process (which is then the desktop's) and has not
    // been torn down yet.
    bool setUp = false;
    bool inSetUp = false;
    // The program was told the shell moved the desktop; once per set-up.
    bool movedNoticed = false;
    LONG setUpGeneration = 0;
    // The shell's own procedures. Kept per process: only this process can call them.
    WNDPROC shellListViewProc = nullptr;
    WNDPROC shellParentProc = nullptr;
    std::unique_ptr<CDebugLog> debugLog;
    std::unique_ptr<HookLists> lists;  // desktop's process, while set up
    // The monitors and the list view's screen place as last measured: what
    // the icons were last placed for.
    Arrangement arrangement;
    POINT viewOrigin = {};
    // The screen's metrics when they were measured, cheap to compare.
    RECT virtualScreen = {};
};

extern HookProcess g_process;

// Registered message that asks the desktop's process to tear down; handled by
// the replaced list view procedure.
UINT TeardownMessageId();

// Reads the display size and the list view's size into the shared block,
// and the monitors and the view's place into this process's state.
void MeasureDesktop();
// Whether the screen's metrics differ from those last measured: a display
// change under way that the list view has not followed yet. Cheap.
bool ScreenChangedSinceMeasured();
// Takes the screen's metrics now as measured.
void RememberScreenMetrics();
// The arrangement last measured; one monitor of the view's size when none
// could be read.
Arrangement CurrentArrangement();

// Writes a notification into the shared record and sends it to the program,
// which handles it while it still waits for the request that caused it.
void NotifyProgram(int code, const char* text);
// Posts a notice (HookNotice) with its detail to the program's window;
// never waits.
void PostNotice(uintptr_t notice, LPARAM detail = 0);

// Error log and debug log of this process for the shared program folder.
void OpenProcessLogs(const char* folder);
void CloseProcessLogs();

// Set-up and tear-down in the desktop's process, on the list view's thread.
void MaybeSetUpDesktop();
void SetUpDesktop();
void TearDownDesktop();
