// The user's rules for hiding desktop icons as their file "IconHide.txt"
// holds them: a keyed text file titled "DERVANE ICON HIDE" with one record
// "ENTRY_<n>" = "<pattern><TAB><kind>" per rule, read by the hook library and
// read and written by the Icons page. Window-free.
#pragma once

#include <string>
#include <vector>

enum HideRuleKind : int {
    kHideByLabel = 0,  // "ICON LABEL": the pattern is matched against the icon's label
    kHideByReference = 1,  // "ICON REFERENCE": against the file name of the shortcut's target
};

struct HideRule {
    std::string pattern;
    int kind = kHideByLabel;
};

// programFolder\IconHide.txt.
std::string HideRuleFilePath(const std::string& programFolder);

// Appends the file's rules to rules in file order, up to the first missing
// ENTRY_<n>; a missing field takes its default. False when the file cannot be
// read (logged) or is not a hide-rule file.
bool ReadHideRuleFile(const std::string& path, std::vector<HideRule>* rules);

// Writes the file with these rules, whole or not at all: a failure is logged
// and leaves the file as it was.
bool WriteHideRuleFile(const std::string& path, const std::vector<HideRule>& rules);
