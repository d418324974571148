// When a rule applies to a window, and which of a window's buttons or menu
// items an action means. Window-free: the engine hands in the texts it read.
// Texts are UTF-8; every comparison ignores letter case in every script
// (FoldCase).
#pragma once

#include "respond/RespondEntry.h"

#include <cstdint>
#include <string>
#include <vector>

// text compared with pattern by kind; a kind outside the list compares
// exactly.
bool TextMatches(MatchKind kind, const std::string& pattern, const std::string& text);
// A label as compared: without any "&" (an access-key mark, or "&&" for a
// shown one, which a user typing the label may well leave out) and without a
// menu item's shortcut text after its TAB.
std::string PlainLabel(const std::string& label);
// True when the label of a button or menu item is the one the action names.
bool LabelMatches(const RespondAction& action, const std::string& label);
// True when the rule applies to a window of this title whose child controls
// hold these texts: the title by its match kind, the text by its match kind
// against any one child's text. A rule with neither a title nor a text
// applies to no window.
bool RuleMatchesWindow(const RespondEntry& rule, const std::string& title, const std::vector<std::string>& texts);
// An action's delay as the engine waits it: 0 to 60 seconds.
int32_t ClampedDelay(int32_t delay);
