// Checks on file names that arrive from requests, command lines, layout
// files and the user before they are joined to a folder. Window-free.
#pragma once

// "CON", "aux.dvl", "Com1 .txt", "CONIN$": whatever the extension, these open
// a device rather than a file in the folder (reading "CON" would wait for
// console input).
bool IsDeviceName(const char* name);

// A bare file name: not empty, no backslash, slash or colon (so no drive and
// no stream), not "." or "..", no control characters, not one of the names
// Windows keeps for devices in every folder ("CON", "NUL.dvl", "com1.txt",
// ...), and shorter than limit in UTF-16 units (name is UTF-8).
bool IsPlainFileName(const char* name, unsigned limit = 256);

// The part of path after its last backslash (or slash), without its
// extension (from the last '.' on), copied into out.
void BaseNameWithoutExtension(const char* path, char* out, unsigned size);
