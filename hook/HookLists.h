// The lists the hook library keeps in the desktop's process only.
#pragma once

#include <string>
#include <vector>

#include "hook/HookProtocol.h"

struct IconPosition {
    char label[kIconLabelSize];
    int x;
    int y;
};

struct HideRule {
    std::string pattern;
    int kind;  // 0: the icon's label; 1: the file name of a shortcut's target
};

struct HookLists {
    std::vector<IconPosition> pendingPositions;
    std::vector<HideRule> hideRules;
    std::vector<IconPosition> hiddenIcons;
};
