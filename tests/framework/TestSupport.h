// Helpers of the framework tests: a bounded message pump and a capture of
// what the framework reports.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Dispatches this thread's messages until done() holds or timeoutMs passed;
// answers done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Dispatches what is queued now.
void PumpPending();

// While alive, the framework's reports are collected here.
class ReportCapture {
public:
    ReportCapture();
    ~ReportCapture();
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;
    const std::vector<std::string>& Lines() const;
};

// A caption or class name no other test process uses at the same time.
std::string UniqueName(const char* base);
