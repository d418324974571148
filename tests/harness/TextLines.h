// Small readers the integration tests share.
#pragma once

#include <string>
#include <vector>

// The whole file in bytes; false (bytes emptied) when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes);
// The same, answering the bytes, empty when the file cannot be read.
std::string ReadFileBytes(const std::string& path);

// The lines of a text file without their line ends (CR LF or LF); empty when
// the file cannot be read.
std::vector<std::string> ReadTextLines(const std::string& path);

// Parses a demo's "NAME,WIDTHxHEIGHT" argument (a virtual desktop and its
// size); false, leaving the outputs alone, when it is malformed or the size
// is out of range.
bool ParseDesktopArgument(const char* argument, std::string* name, int* width, int* height);
