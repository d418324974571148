// The one test of whether a file name matches a task's file-type pattern.
// The platform's directory search also matches generated short (8.3) names,
// so "*.htm" would find "page.html"; every hit is checked here against the
// long name.
#pragma once

#include <string>
#include <vector>

// Whole-name, case-insensitive (ASCII letters; other bytes as they are):
// '*' matches any run of characters, also an empty one, '?' exactly one, any
// other character itself. As on the platform, a pattern ending in ".*" also
// matches a name without an extension ("*.*" matches every name, "readme.*"
// matches "readme"), and a pattern ending in a dot matches only names without
// one ("*." matches names without an extension). The work is bounded by name
// length times pattern length.
bool MatchFileName(const std::string& pattern, const std::string& name);
// Whether name matches one of patterns (MatchFileName).
bool MatchesAnyPattern(const std::vector<std::string>& patterns, const std::string& name);
