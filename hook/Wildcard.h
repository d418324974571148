// Whole-text wildcard match of hide-rule patterns: '*' any run (also empty),
// '?' exactly one character, anything else itself; case-insensitive.
#pragma once

// Time grows with text length times pattern length at worst: no backtracking
// blow-up on patterns with many stars.
bool WildcardMatch(const char* pattern, const char* text);
