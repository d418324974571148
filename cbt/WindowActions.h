// Reading another program's window and acting on it from the engine's
// process, without waiting on that program: texts come from the system's
// copy, actions are posted.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "cbt/CbtShared.h"
#include "respond/RespondEntry.h"

// The window's title, and the texts of its child controls (at most a few
// hundred of them).
std::string WindowTitle(HWND window);
std::vector<std::string> ChildTexts(HWND window);

enum class ActionOutcome { kDone, kNotFound, kDisabled, kFailed };

// Presses the first child button whose label the action names (posts its
// WM_COMMAND to its parent); a disabled button is not pressed.
ActionOutcome PushButton(HWND window, const RespondAction& action);
// The command item of a menu read that the action names, or null.
const CbtMenuItem* FindMenuItem(const CbtMenuRead& read, const RespondAction& action);
// Chooses the item: posts its WM_COMMAND to the window, unless it is disabled.
ActionOutcome ChooseMenuItem(HWND window, const CbtMenuItem& item);
// Hands a WAVE file to the window that plays the engine's sounds (message:
// kRespondPlaySoundMessage registered) and returns at once; answers why it
// could not, or nullptr.
const char* HandOverWaveFile(HWND player, UINT message, const std::string& path);
// True when the window's process runs 32-bit code on a 64-bit system.
bool IsThirtyTwoBitWindow(HWND window);
