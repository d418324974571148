// Hiding icons by the user's rules from "IconHide.txt".
#pragma once

// Reads the rules again and applies them to every icon (HOOKMSG_RELOAD_HIDE_RULES).
void ReloadHideRules();
// Hides the icon under label if a rule matches it, else shows it.
void ApplyHideRules(const char* label);
void ApplyHideRulesToAll();
