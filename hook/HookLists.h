// The lists the hook library keeps in the desktop's process only.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "common/HideRuleFile.h"
#include "hook/HookProtocol.h"

struct IconPosition {
    char label[kIconLabelSize];
    int x;
    int y;
};

struct HookLists {
    // Places a shortcuts layout holds for icons, by label, taken by an icon
    // of that label when it is inserted; of several records, the first.
    std::unordered_map<std::string, POINT> pendingPositions;
    std::vector<HideRule> hideRules;
    // The paths of the desktop's items ("" for one without a file) by their
    // folded names, as last listed for the rules of targets.
    std::unordered_map<std::string, std::string> itemPaths;
    std::vector<IconPosition> hiddenIcons;
};
