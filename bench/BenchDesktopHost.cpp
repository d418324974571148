// Times the desktop host on large desktops, each against a small baseline
// measured in the same run:
//   - start-up with 3,000 files until all are shown, against an empty desktop;
//   - 100 files dropped at once until all are shown, against a single file.
// Run through bench/desktop_host.sh (a throw-away Wine prefix under Xvfb).
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "tests/harness/HostSession.h"
#include "tests/harness/TestDesktop.h"
#include "tests/harness/Wait.h"

namespace {
constexpr DWORD kTimeoutMs = 120000;
constexpr int kFixedItems = 2;  // My Computer, Recycle Bin

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

bool ItemCountIs(CDesktopHostClient& client, int count)
{
    CDesktopHostClient::ViewRecord view = {};
    return client.View(view) && view.itemCount == count;
}

// Seconds from the host's start until it shows every item; negative on failure.
double TimeStart(CHostSession& session, int expected)
{
    LARGE_INTEGER start = Now();
    if (!session.Start())
        return -1;
    if (!WaitFor([&] { return ItemCountIs(session.Client(), expected); }, kTimeoutMs, 5))
        return -1;
    return Seconds(start, Now());
}

// Seconds from the first new file until the host shows them all; negative on failure.
double TimeDrop(CTestDesktop& desktop, CHostSession& session, const std::string& prefix, int files, int shown)
{
    LARGE_INTEGER start = Now();
    for (int i = 0; i < files; ++i) {
        if (!desktop.AddFile(prefix + std::to_string(i) + ".txt"))
            return -1;
    }
    if (!WaitFor([&] { return ItemCountIs(session.Client(), shown + files); }, kTimeoutMs, 5))
        return -1;
    return Seconds(start, Now());
}

int Report(const char* what, double measured, const char* baseline, double base, double limit)
{
    if (measured < 0 || base < 0) {
        std::printf("%-44s FAILED (not all items shown within %lu s)\n", what, kTimeoutMs / 1000);
        return 1;
    }
    std::printf("%-44s %7.3f s  (%s %.3f s, ratio %.1f; aim: within %.0f s)\n", what, measured, baseline, base,
                base > 0 ? measured / base : 0.0, limit);
    return 0;
}
}  // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int failures = 0;
    {
        CTestDesktop desktop;
        if (!desktop.Open())
            return 1;
        CHostSession session;

        double empty = TimeStart(session, kFixedItems);
        session.Stop();

        for (int i = 0; i < 3000; ++i)
            desktop.AddFile("file" + std::to_string(i) + ".txt");
        double full = TimeStart(session, kFixedItems + 3000);
        failures += Report("start-up, 3,000 files shown", full, "empty desktop", empty, 2);

        double single = TimeDrop(desktop, session, "single", 1, kFixedItems + 3000);
        double hundred = TimeDrop(desktop, session, "dropped", 100, kFixedItems + 3001);
        failures += Report("100 files dropped at once, all shown", hundred, "one file", single, 2);
        session.Stop();
    }
    CoUninitialize();
    return failures ? 1 : 0;
}
