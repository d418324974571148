// Reads one file out of a compiled help file (.chm) through the system's
// storage object for help files (ITStorage), which the help viewer itself
// uses.
#pragma once

#include <string>

// Puts the contents of inner (a path inside the help file, such as
// "cshelp.txt" or "ctx/h8067040E.htm") into contents; answers 1, or 0 when
// the help file or the file in it cannot be read. COM must be initialised on
// the calling thread.
int ReadChmFile(const std::string& chmPath, const std::string& inner, std::string& contents);
