// The fields of a list file's record values (TAB-separated), read as the
// lists read them and checked before they are written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Field index of value into out, or false when the value has no such field
// (out is left as it was). A CR that a hand-made file left in a line (the
// reader ends lines at LF) is dropped: no writer keeps one.
bool TakeListField(const char* value, int index, std::string& out);
// A decimal field within [low, high]: missing or unreadable text gives
// fallback, a number beyond the range its nearest end.
int32_t ListIntField(const char* value, int index, int32_t fallback, int32_t low = INT32_MIN, int32_t high = INT32_MAX);
// The longest text field the lists keep (a path's length), so that every
// record stays within a line of the file.
constexpr size_t kListFieldChars = 260;
// Why text cannot be a field of a record (a TAB, CR or LF, or more than
// kListFieldChars characters), or nullptr when it can.
const char* ListFieldProblem(const std::string& text);
