// The wide form of a path for the system's wide calls that reaches exactly
// the name it spells, shared by the deletion and the backup walks.
#pragma once

#include <string>

// A whole path from a drive or a share, with no "." or ".." part and no '/',
// takes the "\\?\" form, so that a name ending in a dot or a blank is not cut
// to its neighbour's ("thesis.doc." to "thesis.doc"); anything else goes as
// it is.
std::wstring ExactPath(const std::string& path);
