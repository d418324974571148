// Label colours, icon style and the program's settings in the desktop's process.
#pragma once

#include "hook/HookProtocol.h"

// Sets the label colours and, when forced or the style changed, the view style.
// Answers false when the features are off.
bool ApplyAppearance(bool force);
// Switches between large and small icons, keeping every icon where it was.
void ApplyViewStyle();
// Gives the list view back the shell's colours and style, keeping positions.
void RestoreShellAppearance();
// HOOKMSG_APPLY_SETTINGS.
void ApplySettings(const SettingsBlock& settings);
// Invalidates the whole list view with erasing and repaints it at once.
void RepaintListView();
