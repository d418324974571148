// Hiding icons by parking them below the screen, and showing them again.
#pragma once

// The row a hidden icon is parked at; also how a parked icon is recognised.
constexpr int kParkedY = 2000;

bool HideIcon(const char* label);
bool ShowIcon(const char* label);
// Parks every icon whose label is in the hidden list again.
void HideAgain();
// Shows every hidden icon, from the last hidden to the first.
void ShowAllIcons();
// The hidden list's entry for label, or -1.
int FindHiddenIcon(const char* label);
