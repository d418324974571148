#include "TestSupport.h"

#include "framework/ErrorReport.h"

namespace {

std::vector<std::string> g_lines;

void Collect(const char* text)
{
    g_lines.emplace_back(text);
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        PumpPending();
    }
    return true;
}

void PumpPending()
{
    MSG msg = {};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

ReportCapture::ReportCapture()
{
    g_lines.clear();
    SetErrorReporter(&Collect);
}

ReportCapture::~ReportCapture()
{
    SetErrorReporter(nullptr);
    g_lines.clear();
}

const std::vector<std::string>& ReportCapture::Lines() const
{
    return g_lines;
}

std::string UniqueName(const char* base)
{
    static unsigned counter = 0;
    return std::string(base) + " " + std::to_string(GetCurrentProcessId()) + "." + std::to_string(++counter);
}
