#include "pages/PageSupport.h"

bool IsLowColourDisplay()
{
    HDC screen = GetDC(nullptr);
    const int bits = screen ? GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) : 32;
    if (screen)
        ReleaseDC(nullptr, screen);
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
