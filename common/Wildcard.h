// Whole-text wildcard match of hide-rule and file-type patterns: '*' any run
// of characters (also empty), '?' exactly one character (a whole UTF-8
// sequence, never one byte of it), anything else itself; letters compared
// without case in every script (FoldCase).
#pragma once

// Time grows with text length times pattern length at worst: no backtracking
// blow-up on patterns with many stars.
bool WildcardMatch(const char* pattern, const char* text);

// The same over the ranges [pattern, patternEnd) and [text, textEnd).
bool WildcardMatchRange(const char* pattern, const char* patternEnd, const char* text, const char* textEnd);
