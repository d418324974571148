#include "framework/CommonControls.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/ErrorReport.h"

bool EnsureCommonControls()
{
    static bool registered = false;
    if (registered)
        return true;
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_TAB_CLASSES;
    registered = InitCommonControlsEx(&controls) != FALSE;
    if (!registered)
        ReportError("InitCommonControlsEx failed");
    return registered;
}
