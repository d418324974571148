// The lists the hook library keeps in the desktop's process only.
#pragma once

#include <vector>

#include "common/HideRuleFile.h"
#include "hook/HookProtocol.h"

struct IconPosition {
    char label[kIconLabelSize];
    int x;
    int y;
};

struct HookLists {
    std::vector<IconPosition> pendingPositions;
    std::vector<HideRule> hideRules;
    std::vector<IconPosition> hiddenIcons;
};
