// The Windows benches' clock, the timing of a command they start, and their
// one output line per measure, "name: seconds".
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

// Seconds on the performance counter.
inline double Now()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// How long the command took from its start to its end; -1 if it did not
// start.
inline double TimeCommand(const std::string& commandLine)
{
    std::string command = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const double start = Now();
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    const double took = Now() - start;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return took;
}

inline void Report(const char* name, double seconds)
{
    printf("%s: %.4f\n", name, seconds);
    fflush(stdout);
}
