#include "pages/PageSupport.h"

#include "framework/ScopedHandles.h"

bool IsLowColourDisplay()
{
    const ScopedGetDC screen(nullptr);
    const int bits = screen ? GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES) : 32;
    return bits <= 8;
}

POINT ControlPosition(HWND dialog, int controlId)
{
    POINT pt = {};
    HWND control = GetDlgItem(dialog, controlId);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (control && GetWindowPlacement(control, &placement)) {
        pt.x = placement.rcNormalPosition.left;
        pt.y = placement.rcNormalPosition.top;
    }
    return pt;
}
