// Whole-text wildcard match of hide-rule and file-type patterns: '*' any run
// (also empty), '?' exactly one character, anything else itself; letters
// compared without case (ASCII letters; other bytes as they are).
#pragma once

// Time grows with text length times pattern length at worst: no backtracking
// blow-up on patterns with many stars.
bool WildcardMatch(const char* pattern, const char* text);

// The same over the ranges [pattern, patternEnd) and [text, textEnd).
bool WildcardMatchRange(const char* pattern, const char* patternEnd, const char* text, const char* textEnd);
