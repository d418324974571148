// Attach and detach as the program's process does them.
#pragma once

#include <windows.h>

void AttachProgram(HWND programWindow, const char* folder);
void DetachProgram();
// Whether the desktop's "SHELLDLL_DefView" has another parent now than at attach.
bool DesktopMoved();
