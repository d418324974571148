// Icon layout files: positions layouts and shortcuts layouts (".dvl").
#pragma once

bool SavePositions(const char* name);
bool LoadPositions(const char* name);
bool SaveShortcuts(const char* name);
bool LoadShortcuts(const char* name);
