// CHookIconsHost: the Icons page's reads of the desktop through the hook
// library the program links.
#pragma once

#include "icons/IconsHost.h"

class CHookIconsHost : public IIconsHost {
public:
    dervaneGroup1_t Appearance() override;
    void SelectedIconCount(int* total, int* selected) override;
};
