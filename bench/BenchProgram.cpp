// Dervane.exe against a minimal Win32 tray program (MinimalTray.exe, the
// baseline), both on the desktop host:
//   - start to ready: from process creation until the tray icon exists, and
//     for Dervane until its settings have reached the desktop (the label
//     colours it stores show on the host's list view); median of five starts;
//   - idle cost: private memory, CPU time and the wake-ups of the main
//     thread (its voluntary context switches: a timer that fires wakes it) of
//     both after 30 s of idling, and the private memory of MinimalSheet.exe
//     (the baseline with a hidden property sheet), which tells what the common
//     controls library costs any program with a sheet from what Dervane adds;
//   - the first opening of the sheet: from the tray menu's command until the
//     sheet is shown.
// Prints the figures and the ratios. Run through bench/program.sh.
//
// Wine answers GetProcessMemoryInfo and GetProcessTimes for other processes
// with figures of its own making, so the idle cost is read from Linux's
// /proc of the process that runs each program: anonymous
// resident memory (RssAnon) as the private memory, utime + stime as the CPU time.
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/ScopedHandles.h"
#include "tests/app/ProgramSupport.h"
#include "tests/harness/HostSession.h"
#include "tests/harness/TestDesktop.h"
#include "tests/harness/TextLines.h"
#include "tests/harness/Wait.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr int kRounds = 5;
constexpr DWORD kIdleMs = 30000;
constexpr COLORREF kText = RGB(255, 255, 0);
constexpr COLORREF kBack = RGB(128, 0, 128);

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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// Polls until the process's window of that class has its tray icon.
bool WaitTrayIcon(DWORD pid, const char* className, UINT id, HWND* window)
{
    return WaitFor(
        [&] { return (*window = FindProcessWindow(pid, className)) != nullptr && TrayIconExists(*window, id); },
        kTimeoutMs, 2);
}

void StoreSettings()
{
    ResetProgramRegistry();
    const COLORREF text = kText;
    const COLORREF back = kBack;
    const BYTE zero = 0;
    const BYTE one = 1;
    WriteProgramBinary("Property Icon Text Foreground Color", &text, sizeof text);
    WriteProgramBinary("Property Icon Text Background Color", &back, sizeof back);
    WriteProgramBinary("Property Icon Text Background", &one, 1);
    WriteProgramBinary("Property General First Time", &zero, 1);
}

bool LookIsStored(CDesktopHostClient& host)
{
    CDesktopHostClient::ViewRecord view = {};
    return host.View(view) && view.textColor == kText && view.textBkColor == kBack;
}

bool LookIsGone(CDesktopHostClient& host)
{
    CDesktopHostClient::ViewRecord view = {};
    return host.View(view) && view.textBkColor != kBack;
}

// Starts Dervane; seconds to its tray icon and to ready. False on failure.
bool StartDervane(CProgramProcess& program, const CProgramFolder& folder, CDesktopHostClient& host, double* toIcon,
                  double* toReady)
{
    const LARGE_INTEGER start = Now();
    HWND window = nullptr;
    if (!program.Start(folder) || !WaitTrayIcon(program.Pid(), "CTrayWnd", 101, &window))
        return false;
    *toIcon = Seconds(start, Now());
    if (!WaitFor([&] { return LookIsStored(host); }, kTimeoutMs, 2))
        return false;
    *toReady = Seconds(start, Now());
    return true;
}

bool StartBaseline(CChildProcess& baseline, const std::string& exe, double* toIcon = nullptr)
{
    const LARGE_INTEGER start = Now();
    HWND window = nullptr;
    if (!baseline.Start("\"" + exe + "\"") || !WaitTrayIcon(baseline.Pid(), "MinimalTrayWnd", 1, &window))
        return false;
    if (toIcon)
        *toIcon = Seconds(start, Now());
    return true;
}

void StopDervane(CProgramProcess& program, CDesktopHostClient& host)
{
    program.Command(40002);
    program.WaitExit(kTimeoutMs);
    program.Process().Stop();
    WaitFor([&] { return LookIsGone(host); }, kTimeoutMs);
}

void StopBaseline(CChildProcess& baseline)
{
    if (HWND window = FindProcessWindow(baseline.Pid(), "MinimalTrayWnd"))
        PostMessageA(window, WM_CLOSE, 0, 0);
    baseline.WaitExit(kTimeoutMs);
    baseline.Stop();
}

struct Cost {
    double privateMB = -1;
    double cpuSeconds = -1;
    long wakeUps = -1;  // voluntary context switches of the main thread
};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// The /proc folder of the Linux process whose command line names exePath.
std::string ProcFolderOf(const std::string& exePath)
{
    const std::string wanted = Lower(exePath);
    WIN32_FIND_DATAA found = {};
    // The test prefixes have no drive for the Linux root; Wine's own prefix
    // for Unix paths still reaches /proc.
    const ScopedFind search(FindFirstFileA("\\\\?\\unix\\proc\\*", &found));
    if (!search)
        return std::string();
    std::string folder;
    do {
        const std::string name = found.cFileName;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string candidate = "\\\\?\\unix\\proc\\" + name;
        std::string commandLine = ReadFileBytes(candidate + "\\cmdline");
        std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
        if (Lower(commandLine).find(wanted) != std::string::npos) {
            folder = candidate;
            break;
        }
    } while (FindNextFileA(search.Get(), &found));
    return folder;
}

Cost Measure(const std::string& exePath)
{
    Cost cost;
    const std::string folder = ProcFolderOf(exePath);
    if (folder.empty())
        return cost;
    const std::string status = ReadFileBytes(folder + "\\status");
    const size_t anon = status.find("RssAnon:");
    if (anon != std::string::npos)
        cost.privateMB = atof(status.c_str() + anon + 8) / 1024.0;
    const size_t switches = status.find("\nvoluntary_ctxt_switches:");
    if (switches != std::string::npos)
        cost.wakeUps = atol(status.c_str() + switches + 26);
    // Fields 14 and 15 of stat, in ticks of 1/100 s, after the name in parentheses.
    const std::string stat = ReadFileBytes(folder + "\\stat");
    const size_t close = stat.rfind(')');
    if (close != std::string::npos) {
        unsigned long utime = 0, stime = 0;
        if (sscanf(stat.c_str() + close + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) ==
            2)
            cost.cpuSeconds = static_cast<double>(utime + stime) / 100.0;
    }
    return cost;
}

double Ratio(double value, double baseline)
{
    return baseline > 0 ? value / baseline : -1;
}

int Run(CDesktopHostClient& host, const CProgramFolder& folder, const std::string& baselineExe,
        const std::string& sheetExe)
{
    std::vector<double> dervaneIcon, dervaneReady, baselineIcon;
    for (int round = 0; round < kRounds; ++round) {
        CProgramProcess program;
        CChildProcess baseline;
        double icon = 0, ready = 0, base = 0;
        StoreSettings();
        if (!StartDervane(program, folder, host, &icon, &ready) || !StartBaseline(baseline, baselineExe, &base)) {
            std::fprintf(stderr, "bench_program: a start failed in round %d\n", round);
            return 1;
        }
        dervaneIcon.push_back(icon);
        dervaneReady.push_back(ready);
        baselineIcon.push_back(base);
        StopDervane(program, host);
        StopBaseline(baseline);
    }
    std::printf("start to tray icon: Dervane %.3f s, baseline %.3f s, ratio %.2f\n", Median(dervaneIcon),
                Median(baselineIcon), Ratio(Median(dervaneIcon), Median(baselineIcon)));
    std::printf("start to ready: Dervane %.3f s (settings on the desktop), baseline %.3f s (tray icon), ratio %.2f\n",
                Median(dervaneReady), Median(baselineIcon), Ratio(Median(dervaneReady), Median(baselineIcon)));
    std::printf("ready after the tray icon: %.3f s\n", Median(dervaneReady) - Median(dervaneIcon));

    CProgramProcess program;
    CChildProcess baseline;
    CChildProcess sheet;
    double icon = 0, ready = 0;
    StoreSettings();
    if (!StartDervane(program, folder, host, &icon, &ready) || !StartBaseline(baseline, baselineExe) ||
        !StartBaseline(sheet, sheetExe)) {
        std::fprintf(stderr, "bench_program: the idle start failed\n");
        return 1;
    }
    const Cost dervaneStart = Measure(folder.ExePath());
    const Cost baselineStart = Measure(baselineExe);
    // Idling is what is measured here: nothing to wait for.
    Sleep(kIdleMs);
    const Cost dervane = Measure(folder.ExePath());
    const Cost base30 = Measure(baselineExe);
    const Cost sheet30 = Measure(sheetExe);
    std::printf("after %u s idle: private memory Dervane %.2f MB, baseline %.2f MB, difference %.2f MB, ratio %.2f\n",
                static_cast<unsigned>(kIdleMs / 1000), dervane.privateMB, base30.privateMB,
                dervane.privateMB - base30.privateMB, Ratio(dervane.privateMB, base30.privateMB));
    std::printf("the baseline with a hidden property sheet: %.2f MB (%.2f MB over the baseline); Dervane over it "
                "%.2f MB\n",
                sheet30.privateMB, sheet30.privateMB - base30.privateMB, dervane.privateMB - sheet30.privateMB);
    std::printf("CPU time in total: Dervane %.3f s, baseline %.3f s, ratio %.2f\n", dervane.cpuSeconds,
                base30.cpuSeconds, Ratio(dervane.cpuSeconds, base30.cpuSeconds));
    std::printf("CPU time while idle: Dervane %.3f s, baseline %.3f s\n", dervane.cpuSeconds - dervaneStart.cpuSeconds,
                base30.cpuSeconds - baselineStart.cpuSeconds);
    std::printf("main thread wake-ups while idle: Dervane %ld, baseline %ld\n", dervane.wakeUps - dervaneStart.wakeUps,
                base30.wakeUps - baselineStart.wakeUps);

    // The first opening of the sheet, as the tray menu's "Properties" asks.
    const LARGE_INTEGER asked = Now();
    if (!program.Command(40001) || !WaitFor([&] { return program.SheetVisible(); }, kTimeoutMs, 2)) {
        std::fprintf(stderr, "bench_program: the sheet did not open\n");
    } else {
        const double opened = Seconds(asked, Now());
        const Cost withSheet = Measure(folder.ExePath());
        std::printf("first opening of the sheet: %.3f s; private memory then %.2f MB\n", opened,
                    withSheet.privateMB);
    }
    StopDervane(program, host);
    StopBaseline(baseline);
    StopBaseline(sheet);
    return 0;
}

}  // namespace

int main()
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = 1;
    {
        CTestDesktop desktop;
        CHostSession session;
        CProgramFolder folder;
        const std::string baselineExe = CChildProcess::ModuleFolder() + "MinimalTray.exe";
        const std::string sheetExe = CChildProcess::ModuleFolder() + "MinimalSheet.exe";
        if (!desktop.Open() || !desktop.AddFile("Notes.txt") || !desktop.AddFolder("Projects") ||
            !folder.Create("bench")) {
            std::fprintf(stderr, "bench_program: cannot prepare the desktop folder or the program folder\n");
        } else if (!session.Start()) {
            std::fprintf(stderr, "bench_program: the desktop host did not start\n");
        } else {
            code = Run(session.Client(), folder, baselineExe, sheetExe);
        }
        session.Stop();
        desktop.Clear();
        ResetProgramRegistry();
    }
    CoUninitialize();
    return code;
}
