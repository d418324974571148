// The user's rules for hiding desktop icons as their file "IconHide.txt"
// holds them: a keyed text file titled "DERVANE ICON HIDE" with one record
// "ENTRY_<n>" = "<pattern><TAB><kind>" per rule, read by the hook library and
// read and written by the Icons page. Window-free.
#pragma once

#include "common/ListFileReader.h"

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

// Appends the file's rules to rules in file order; a missing field takes its
// default. False when the file cannot be read or is not a hide-rule file
// (logged). state, when given, tells how the file was read.
bool ReadHideRuleFile(const std::string& path, std::vector<HideRule>* rules, ListFileState* state = nullptr);

// Writes the header and the rules' records; 0 when one could not be written
// (for RewriteKeyedTextFile and SaveChangedList).
int WriteHideRuleRecords(CKeyedTextFile& file, const std::vector<HideRule>& rules);
