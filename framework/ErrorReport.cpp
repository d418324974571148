#include "framework/ErrorReport.h"

#include "common/Utf8.h"

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

std::string SystemErrorText(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result = length && text ? WideToUtf8(text, length) : "Error " + std::to_string(error);
    if (text)
        LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
        result.pop_back();
    return result;
}
