#pragma once

#include <cstddef>
#include <ctime>

// The error log "ErrorLog.txt": one line per entry,
// "<timestamp>> WARNING: <text>" or "<timestamp>> FATAL: <text>", CR LF ended.
// The state (path, first-entry rules, the texts of the next entries) is one
// set per process; each entry opens, appends and closes the file.

enum { LOG_WARNING = 0, LOG_FATAL = 1 };
constexpr int kLogTextSize = 100;  // entry texts are cut to 99 characters
constexpr int kLogTimestampChars = 24;  // "Wed Jan 02 02:03:55 1980"

// Sets the log's path to folder and name joined. With fresh set, the first
// entry of this process starts the file from empty, and any existing file at
// that path is deleted now.
void LogSetPath(const char* folder, const char* name, int fresh);
// Forgets the path: later entries are dropped.
void LogFreePath();
void LogWarning(const char* text);
// Puts text into format where it says %s ("%%" gives one '%'); any other
// conversion is copied as it stands, so no format can read past its one
// argument.
void LogWarningFormat(const char* format, const char* text);
void LogFatal(const char* text);
// Writes a WARNING (level 0) or FATAL (level 1) entry; any other level does
// nothing at all. Always answers 0.
int LogWrite(int level);

// Formats a local time as "Www Mmm dd hh:mm:ss yyyy" into out (at least
// kLogTimestampChars + 1 bytes, more for years beyond 9999).
void LogFormatTime(const struct tm& when, char* out, size_t outSize);

// Returns the process-wide state to how a process starts: no path, append on
// the first entry, no entry made yet. Tests use it to play several processes.
void LogResetState();
