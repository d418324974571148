// The version record of a binary (VS_VERSION_INFO), as the system reads it.
#pragma once

#include <windows.h>

#include <string>

// The product version of the file at path: its "ProductVersion" text in the
// record's first language, else the fixed record's numbers ("1.2.3.4");
// empty when the file has no version record.
std::string ReadProductVersion(const std::string& path);

// The path of a loaded module (nullptr: the running program), empty when the
// system does not give it.
std::string ModuleFilePath(HMODULE module);
