// Small helpers the pages share.
#pragma once

#include <windows.h>

// True on a display of 8 bits per pixel or fewer: pages then take the
// 16-colour variants of their pictures.
bool IsLowColourDisplay();

// The position of a placeholder control in its dialog's client coordinates.
POINT ControlPosition(HWND dialog, int controlId);
