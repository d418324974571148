// Helpers of the picture tests: pixels of bitmaps and icons, the program
// folder, and the 16 display colours.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Pixels of a picture, row by row from the top, as 0x00RRGGBB.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned> rgb;
    unsigned At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

// The pixels of bitmap (any depth); empty when they cannot be read.
Pixels ReadBitmap(HBITMAP bitmap);
// The pixels of icon drawn at size by size onto a background of the colour bg.
Pixels DrawIcon(HICON icon, int size, unsigned bg);
// The colour depth a bitmap resource is stored with (0 when it is missing).
int StoredBitsPerPixel(HMODULE module, UINT id);
// Whether 0x00RRGGBB is one of the 16 colours every display shows.
bool IsDisplayColour(unsigned rgb);

// The folder of the deliverables: the parent of the test program's folder.
std::string ProgramFolder();
// The test program's own file.
std::string TestProgramPath();

// Ids of the resources of a type in module, in the order the system lists them.
std::vector<unsigned> ResourceIds(HMODULE module, LPCSTR type);
