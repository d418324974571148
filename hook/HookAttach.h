// Attach and detach as the program's process does them.
#pragma once

#include <windows.h>

void AttachProgram(HWND programWindow, const char* folder);
void DetachProgram();
