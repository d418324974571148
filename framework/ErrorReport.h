// Where the framework reports what it cannot answer to a caller: a C++
// exception stopped at the edge of a window or dialog procedure, or one of its
// own Win32 calls that failed. The program points it at its error log.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

// Receives one line of text, without a trailing newline.
using ErrorReporter = void (*)(const char* text);

// nullptr restores the default, which writes to the debugger (OutputDebugStringA).
void SetErrorReporter(ErrorReporter reporter);
void ReportError(const char* text);
// Reports "<call> failed (error N)" with GetLastError(), so call it right
// after the call that failed.
void ReportLastError(const char* call);
// The system's text for a Win32 error code, in UTF-8 and on one line
// ("Error N" when the system has none).
std::string SystemErrorText(DWORD error);
// Reports "<where>: <what>" for an exception stopped at a boundary.
void ReportException(const char* where, const std::exception* e);

// Runs body() and answers its result; a C++ exception never leaves it: it is
// reported with where and fallback is answered instead.
template <typename R, typename F> R CallGuarded(const char* where, R fallback, F&& body) noexcept
{
    try {
        return body();
    } catch (const std::exception& e) {
        ReportException(where, &e);
    } catch (...) {
        ReportException(where, nullptr);
    }
    return fallback;
}
