// Small helpers the pages share.
#pragma once

#include <windows.h>

#include "framework/Bitmap.h"  // IsLowColourDisplay

#include <string>
#include <vector>

// The position of a placeholder control in its dialog's client coordinates.
POINT ControlPosition(HWND dialog, int controlId);

// Fills a folder list box (sorted by the box) with texts and lets it scroll
// sideways to the widest of them (500 pixels for one that cannot be measured).
void FillFolderList(HWND list, const std::vector<std::string>& texts);
// The text of the list box's selection; false when nothing is selected.
bool SelectedListText(HWND list, std::string* text);
