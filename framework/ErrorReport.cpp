#include "framework/ErrorReport.h"

#include <cstdio>

namespace {

void DebuggerReporter(const char* text)
{
    OutputDebugStringA(text);
    OutputDebugStringA("\n");
}

ErrorReporter g_reporter = DebuggerReporter;

}  // namespace

void SetErrorReporter(ErrorReporter reporter)
{
    g_reporter = reporter ? reporter : DebuggerReporter;
}

void ReportError(const char* text)
{
    // The reporter runs at the Win32 boundary too: it must not throw past it.
    try {
        g_reporter(text ? text : "");
    } catch (...) {
    }
}

void ReportLastError(const char* call)
{
    const DWORD error = GetLastError();
    char line[300] = {};
    snprintf(line, sizeof line, "%s failed (error %lu)", call ? call : "?", static_cast<unsigned long>(error));
    ReportError(line);
}

void ReportException(const char* where, const std::exception* e)
{
    // A fixed buffer: the exception may be std::bad_alloc.
    char line[400] = {};
    snprintf(line, sizeof line, "%s: %s", where ? where : "?", e ? e->what() : "unknown exception");
    ReportError(line);
}
