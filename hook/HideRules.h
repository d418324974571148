// Hiding icons by the user's rules from "IconHide.txt".
#pragma once

// Reads the rules again and applies them to every icon (HOOKMSG_RELOAD_HIDE_RULES).
void ReloadHideRules();
// While hiding is on: hides the icon under label if a rule matches it, else
// shows it. A shortcut's target is read once per icon, and only when a rule
// of targets is reached.
void ApplyHideRules(const char* label);
void ApplyHideRulesToAll();
