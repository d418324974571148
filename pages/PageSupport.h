// Small helpers the pages share.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// True on a display of 8 bits per pixel or fewer: pages then take the
// 16-colour variants of their pictures.
bool IsLowColourDisplay();

// The position of a placeholder control in its dialog's client coordinates.
POINT ControlPosition(HWND dialog, int controlId);

// Fills a folder list box (sorted by the box) with texts and lets it scroll
// sideways to the widest of them (500 pixels for one that cannot be measured).
void FillFolderList(HWND list, const std::vector<std::string>& texts);
// The text of the list box's selection; false when nothing is selected.
bool SelectedListText(HWND list, std::string* text);
