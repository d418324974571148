// The wide form of a path for the system's wide calls that reaches exactly
// the name it spells, and the wide names no UTF-8 text can spell, shared by
// the deletion and the backup walks and the drop windows.
#pragma once

#include <string>

// A whole path from a drive or a share, with no "." or ".." part and no '/',
// takes the "\\?\" form, so that a name ending in a dot or a blank is not cut
// to its neighbour's ("thesis.doc." to "thesis.doc"); anything else goes as
// it is.
std::wstring ExactPath(const std::string& path);

// A UTF-16 unit of a pair without its other half: the name cannot be spelled
// in UTF-8, and its readable stand-in (U+FFFD) may name another file.
bool HasLoneSurrogate(const wchar_t* name);
