// IIconsHost: what the Icons page reads of the desktop's icons, which only
// the hook library in the shell's process sees. The program reads them
// through CHookIconsHost; the tests give the page a host of their own.
#pragma once

#include "hook/HookProtocol.h"

class IIconsHost {
public:
    virtual ~IIconsHost() = default;

    // The label colours and icon style the hook library holds now.
    virtual dervaneGroup1_t Appearance() = 0;
    // The number of desktop icons and of the selected ones.
    virtual void SelectedIconCount(int* total, int* selected) = 0;
};
