#include "icons/HookIconsHost.h"

#include "hook/DervaneHook.h"

dervaneGroup1_t CHookIconsHost::Appearance()
{
    const dervaneGroup1_t* group = HOOK_GetGroup1();
    if (group)
        return *group;
    // Nothing known: every field "not set".
    dervaneGroup1_t unset = {};
    unset.textForeground = 0xFFFFFFFFu;
    unset.textBackground = 0xFFFFFFFFu;
    unset.textBackgroundOpaque = -1;
    unset.iconStyle = -1;
    return unset;
}

void CHookIconsHost::SelectedIconCount(int* total, int* selected)
{
    *total = 0;
    *selected = 0;
    HOOK_GetSelectedIconCount(total, selected);
}
