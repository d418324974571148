// The crash report: when a fault that nothing handles ends the program, a
// report of what failed and where, the registers, the code bytes, the stack
// and the loaded modules is appended to "ErrorLog.txt" beside the executable.
// Windows only.
#pragma once

#include <windows.h>

// The fault filter. Reports the first fault of the process (later ones are
// let through unreported) and answers EXCEPTION_CONTINUE_SEARCH, so the
// system's own fault handling follows.
LONG WriteCrashReport(EXCEPTION_POINTERS* fault, const char* where);

// Appends one report to an open file: four empty lines, then the report.
// Does not look at or set the report flag.
void WriteCrashReportTo(HANDLE file, const EXCEPTION_POINTERS* fault, const char* where);

// The name of an exception code as the report's first line gives it.
const char* CrashExceptionName(DWORD code);

// The guarded entry: runs body(context) on this thread so that a fault on it
// which nothing else handles is reported with WriteCrashReport(fault, where)
// before the system's handling. Answers body's result.
int RunGuarded(int (*body)(void* context), void* context, const char* where = "Main Thread");
