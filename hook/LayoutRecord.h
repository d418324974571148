// The values of icon records in layout files: parsing and formatting.
#pragma once

#include <cstddef>
#include <functional>

#include "hook/ShortcutRecord.h"

// Parses "x,y" as written by "%d,%d". Rejects text that does not start with
// two integers separated by a comma, and coordinates beyond +-1,000,000.
bool ParsePoint(const char* text, int* x, int* y);

// "%s\t%d,%d": label and position. Answers false if it does not fit.
bool FormatShortIconRecord(const char* label, int x, int y, char* out, size_t size);

// The long form with every field of the record. Answers false when the value
// would not fit one record of a list file (1020 characters) or out.
bool FormatLongIconRecord(const ShortcutRecord& record, char* out, size_t size);

// Fills record from an ICON_n value. Field 0 is the label, field 1 the
// position; when field 2 exists the record is a file record and fields 2 to
// 11 are taken too (missing ones empty or 0). Answers false when the label or
// a valid position is missing, or when a text field does not fit its field
// of the record (a label or a path of 784 bytes of UTF-8 or more);
// *isFile tells which form was read.
bool ParseIconRecord(const char* value, ShortcutRecord* record, bool* isFile);

constexpr size_t kMaxRecordValue = 1020;

class CKeyedTextFile;
// Calls take for ICON_0, ICON_1, ... of a layout file, each found forward
// from the one before, until one is missing. A record that does not parse is
// logged with the file's path and passed over.
void ReadIconRecords(CKeyedTextFile& file, const char* path,
                     const std::function<void(const ShortcutRecord&, bool isFile)>& take);
// The same, telling take the n of each ICON_n.
void ReadNumberedIconRecords(CKeyedTextFile& file, const char* path,
                             const std::function<void(int n, const ShortcutRecord&, bool isFile)>& take);
