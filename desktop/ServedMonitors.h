// The monitors the host serves in place of the real ones. Wine cannot change
// its monitors while a session runs, so a test has the host play a change:
// it serves another list, fits its windows to it and announces it with
// WM_DISPLAYCHANGE. The hook library, when it runs inside the host (and
// only there), reads this list through DervaneHostMonitors instead of
// measuring the real monitors.
#pragma once

#include <windows.h>

#include "desktop/DesktopHostProtocol.h"

// Takes "left,top,width,height;..." in screen coordinates, the primary first
// (at 0,0); an empty text goes back to the real monitors. False, serving
// nothing new, when the text is no such list.
bool ServeMonitors(const char* text);
// Every served monitor together; false while none is served.
bool ServedBounds(RECT* bounds);

// Exported by DesktopHost.exe: copies up to max served monitors, the primary
// first, into out and answers how many there are (0: the real ones hold).
extern "C" __declspec(dllexport) int DervaneHostMonitors(DesktopHostProtocol::RectRecord* out, int max);
