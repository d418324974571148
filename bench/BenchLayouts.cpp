// Times saving and loading a positions layout through the hook library on
// the desktop host with N = 100, 1,000 and 3,000 icons, each against the
// bare cost of the list view calls the layout stands for: one
// LVM_GETITEMPOSITION and one LVM_SETITEMPOSITION32 per icon, made inside the
// host's process (where the layout operations run too). Prints the ratios;
// the aim is within 3x at every N, and the ratio at 3,000 within 1.5x of the
// ratio at 100 (the operations stay linear in the number of icons). Then a
// change of monitors, played by the host (a monitor beside the primary comes
// or goes), with a snapshot of each arrangement that moves every icon, as
// the library times its placement (the wait for the shell to finish with
// the icons not counted): the aim is within 1.5x of the bare calls at 1,000
// icons. Last, on a desktop of 300 shortcuts with hiding on, clicks with 300
// rules of targets against the same clicks without rules (aim: at most
// 1.5x), and a layout of 100,000 records loaded (aim: under 1 s).
// Run through bench/layouts.sh (a throw-away Wine prefix under Xvfb).
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hook/DervaneHook.h"
#include "tests/harness/HostSession.h"
#include "tests/harness/TestDesktop.h"
#include "tests/harness/Wait.h"

namespace {

constexpr int kFixedItems = 2;  // My Computer, Recycle Bin
constexpr int kRounds = 7;  // the best of these counts, against noise
constexpr DWORD kTimeoutMs = 180000;

double Now()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

unsigned long Request(int code, const char* name)
{
    dervaneMsg_t msg = {};
    msg.code = code;
    msg.route = HOOKROUTE_HOOK;
    std::snprintf(msg.payload.text, sizeof msg.payload.text, "%s", name);
    return HOOK_SendMessage(&msg);
}

// Waits until the host has drawn what earlier moves changed: it answers a
// query only between rounds of its message loop, so the second answer comes
// after the painting that followed the first.
bool WaitIdle(CDesktopHostClient& host)
{
    CDesktopHostClient::ViewRecord view = {};
    return host.View(view) && host.View(view);
}

// Seconds of one request, as the program waits for it, on a host that is done drawing.
double TimeRequest(CDesktopHostClient& host, int code, const char* name, bool* ok)
{
    *ok = WaitIdle(host) && *ok;
    const double start = Now();
    *ok = Request(code, name) == 1 && *ok;
    return Now() - start;
}

struct Row {
    int icons = 0;
    double bare = -1;  // the list view alone
    double hooked = -1;  // the same calls, through the library's subclass
    double save = -1, load = -1;
    double change = -1;  // the library's placement after a change of monitors, every icon from a snapshot
};

void KeepBest(double* best, double seconds)
{
    if (*best < 0 || seconds < *best)
        *best = seconds;
}

// Fills the desktop with icons items and waits until the host shows them all.
bool StartWith(CTestDesktop& desktop, CHostSession& session, int icons)
{
    desktop.Clear();
    for (int i = 0; i < icons - kFixedItems; ++i) {
        if (!desktop.AddFile("file" + std::to_string(i) + ".txt"))
            return false;
    }
    if (!session.Start())
        return false;
    return WaitFor(
        [&] {
            CDesktopHostClient::ViewRecord view = {};
            return session.Client().View(view) && view.itemCount == icons;
        },
        kTimeoutMs, 20);
}

// Right after its start the desktop is still being drawn, and the same calls
// take several times as long: moves until two rounds in a row agree.
bool Settle(CDesktopHostClient& host)
{
    double previous = -1;
    for (int round = 0; round < 100; ++round) {
        double seconds = -1;
        if (!host.TimeMoves(round % 2 ? -1 : 1, 0, seconds))
            return false;
        if (previous > 0 && seconds < previous * 1.15 && previous < seconds * 1.15)
            return true;
        previous = seconds;
    }
    return true;
}

// Two arrangements, the primary as the screen is.
std::string Docked()
{
    return "0,0," + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "," + std::to_string(GetSystemMetrics(SM_CYSCREEN)) +
        ";-800,100,800,600";
}

std::string Alone()
{
    return "0,0," + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "," + std::to_string(GetSystemMetrics(SM_CYSCREEN));
}

// The microseconds of the last placement after a change of monitors, from
// the library's notice to the program's window; -1 until one comes.
LONGLONG g_placedMicros = -1;

LRESULT CALLBACK ProgramProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg != 0 && msg == HOOK_GetMessageID() && wp == HOOKNOTICE_DISPLAY_FOLLOWED) {
        g_placedMicros = static_cast<LONGLONG>(lp);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Pump()
{
    MSG msg = {};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

// Seconds the library took to place the icons after a change of monitors
// (the host plays it, the program asks the library to follow), as it timed
// them itself once the icons had settled.
double TimeChange(CDesktopHostClient& host, const std::string& monitors, bool* ok)
{
    *ok = WaitIdle(host) && *ok;
    g_placedMicros = -1;
    *ok = host.ServeMonitors(monitors) && *ok;
    Request(HOOKMSG_SCREEN_CHANGED, "");
    *ok = WaitFor(
              [] {
                  Pump();
                  return g_placedMicros >= 0;
              },
              kTimeoutMs) &&
        *ok;
    return static_cast<double>(g_placedMicros) / 1e6;
}

// Keeps a snapshot of both arrangements, then times changes between them,
// every icon away from its snapshot's place before each.
bool MeasureChanges(CDesktopHostClient& host, Row* row)
{
    dervaneMsg_t msg = {};
    msg.code = HOOKMSG_APPLY_SETTINGS;
    msg.route = HOOKROUTE_HOOK;
    msg.payload.settings.enabled = 1;
    msg.payload.settings.restoreOnRes = 1;
    msg.payload.settings.keepSnapshots = 1;
    HOOK_SendMessage(&msg);
    bool ok = true;
    const std::string snapshots[2][2] = {
        {Docked(), "Snapshot " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
             std::to_string(GetSystemMetrics(SM_CYSCREEN)) + "+0+0 800x600-800+100.dvs"},
        {Alone(), "Snapshot " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
             std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ".dvs"}};
    for (const auto& arrangement : snapshots) {
        TimeChange(host, arrangement[0], &ok);
        ok = Request(HOOKMSG_SAVE_POSITIONS, arrangement[1].c_str()) == 1 && ok;
    }
    double seconds = -1;
    for (int round = 0; round < kRounds && ok; ++round) {
        ok = host.TimeMoves(3, 2, seconds) && ok;
        KeepBest(&row->change, TimeChange(host, snapshots[round % 2][0], &ok));
    }
    host.ServeMonitors("");
    return ok;
}

// The best times of kRounds rounds; false, with the failed step named, when something failed.
bool Measure(CTestDesktop& desktop, const std::string& folder, HWND program, int icons, Row* row)
{
    row->icons = icons;
    CHostSession session;
    if (!StartWith(desktop, session, icons)) {
        std::fprintf(stderr, "bench: the host did not show %d icons\n", icons);
        return false;
    }
    CDesktopHostClient& host = session.Client();
    double seconds = -1;
    if (!Settle(host))
        return false;
    for (int round = 0; round < kRounds; ++round) {
        if (!host.TimeMoves(round % 2 ? -1 : 1, 0, seconds))
            return false;
        KeepBest(&row->bare, seconds);
    }
    HOOK_AttachDLL(program, const_cast<char*>(folder.c_str()));
    if (!WaitFor([] { return HOOK_IsReady() == 1; }, kTimeoutMs)) {
        std::fprintf(stderr, "bench: the library did not become ready with %d icons\n", icons);
        return false;
    }
    bool ok = true;
    for (int round = 0; round < kRounds && ok; ++round) {
        ok = host.TimeMoves(round % 2 ? -1 : 1, 0, seconds) != 0;
        KeepBest(&row->hooked, seconds);
        KeepBest(&row->save, TimeRequest(host, HOOKMSG_SAVE_POSITIONS, "bench.dvl", &ok));
        // Every icon away from its place, so that the load moves each one.
        ok = host.TimeMoves(3, 2, seconds) && ok;
        KeepBest(&row->load, TimeRequest(host, HOOKMSG_LOAD_POSITIONS, "bench.dvl", &ok));
    }
    if (!ok)
        std::fprintf(stderr, "bench: a request failed with %d icons\n", icons);
    if (ok && !MeasureChanges(host, row)) {
        std::fprintf(stderr, "bench: a change of monitors failed with %d icons\n", icons);
        ok = false;
    }
    HOOK_AttachDLL(nullptr, nullptr);
    session.Stop();
    return ok;
}

// The desktop of the cases below: 300 icons, all shortcuts but the two fixed ones.
constexpr int kWaitIcons = 300;
constexpr int kTargetRules = 300;
constexpr int kClicks = 40;
constexpr int kRefreshRounds = 3;  // the host's own refresh takes seconds
constexpr int kLayoutRecords = 100000;

bool WriteText(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

// The hide rules file with rules of targets that match none of the desktop's.
bool WriteTargetRules(const std::string& folder, int rules)
{
    std::string text = "KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\n";
    for (int i = 0; i < rules; ++i)
        text += "ENTRY_" + std::to_string(i) + "\tNOTHERE" + std::to_string(i) + ".EXE\t1\r\n";
    return WriteText(folder + "\\IconHide.txt", text);
}

// A layout of records ICON_0 .. ICON_<records - 1>: the desktop's icons
// spread among records of icons that are not there; a positions layout also
// with the screen it was saved on and each icon's monitor, as one is saved.
bool WriteLargeLayout(const std::string& path, const char* title, const std::vector<std::string>& labels, int records)
{
    const bool positions = std::strcmp(title, "DERVANE ICON POSITIONS") == 0;
    const std::string screen = "0,0," + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "," +
        std::to_string(GetSystemMetrics(SM_CYSCREEN));
    std::string text = std::string("KTX_FILE\t") + title +
        "\r\nVERSION\t1.0\r\nLOADED\t0\r\nICON_TEXT_COLOR_FG\t16777215\r\nICON_TEXT_COLOR_BG\t0\r\n"
        "ICON_TEXT_BG\t0\r\nICON_STYLE\t0\r\n";
    if (positions)
        text += "MONITOR_0\t" + screen + "\t96\r\nVIEW_ORIGIN\t0,0\r\n";
    text.reserve(static_cast<size_t>(records) * 40);
    const int every = std::max(records / std::max(static_cast<int>(labels.size()), 1), 1);
    size_t next = 0;
    for (int n = 0; n < records; ++n) {
        const bool present = n % every == 0 && next < labels.size();
        const std::string label = present ? labels[next++] : "Gone " + std::to_string(n) + ".txt";
        text += "ICON_" + std::to_string(n) + "\t" + label + "\t" + std::to_string(40 + (n * 7) % 900) + "," +
            std::to_string(40 + (n * 13) % 500) + "\r\n";
    }
    for (int n = 0; positions && n < records; ++n)
        text += "ICON_MONITOR_" + std::to_string(n) + "\t" + screen + "\r\n";
    return WriteText(path, text);
}

bool SendSettings(bool hide)
{
    dervaneMsg_t msg = {};
    msg.code = HOOKMSG_APPLY_SETTINGS;
    msg.route = HOOKROUTE_HOOK;
    msg.payload.settings.enabled = 1;
    msg.payload.settings.hideEnabled = hide ? 1 : 0;
    msg.payload.settings.textForeground = RGB(255, 255, 255);
    HOOK_SendMessage(&msg);
    return true;
}

// Seconds of kClicks clicks, each selecting one icon alone, as the host's
// list view handles them.
double TimeClicks(CDesktopHostClient& host, bool* ok)
{
    *ok = WaitIdle(host) && *ok;
    const double start = Now();
    for (int i = 0; i < kClicks; ++i) {
        *ok = host.Select(-1, false) && *ok;
        *ok = host.Select(2 + (i * 37) % (kWaitIcons - 2), true) && *ok;
    }
    return Now() - start;
}

// Seconds until the host answers again after it was asked to insert every
// icon again (its own reading of the folder takes longer than a call may).
double TimeRefresh(CDesktopHostClient& host, bool* ok)
{
    *ok = WaitIdle(host) && *ok;
    const double start = Now();
    host.Refresh();
    *ok = WaitFor([&] { return WaitIdle(host); }, kTimeoutMs) && *ok;
    return Now() - start;
}

struct WaitRow {
    double bare = -1;  // the 300 icons moved by the list view alone
    double clicks = -1, clicksWithRules = -1;
    double refresh = -1, refreshWithRules = -1;  // every icon inserted again, as F5 does
    double applyRules = -1;  // the rules read and applied to every icon
    double load = -1;  // the large layout loaded
    double loadShortcuts = -1;  // the same as a shortcuts layout
};

// A click with rules of targets against the same desktop without rules, and
// a layout far larger than the desktop, on a desktop of shortcuts.
bool MeasureWaits(CTestDesktop& desktop, const std::string& folder, HWND program, WaitRow* row)
{
    desktop.Clear();
    std::vector<std::string> labels;
    for (int i = 0; i < kWaitIcons - kFixedItems; ++i) {
        labels.push_back("Tool " + std::to_string(i));
        if (!desktop.AddShortcut(labels.back(), "C:\\windows\\notepad.exe"))
            return false;
    }
    CHostSession session;
    if (!session.Start() || !WaitFor(
                                [&] {
                                    CDesktopHostClient::ViewRecord view = {};
                                    return session.Client().View(view) && view.itemCount == kWaitIcons;
                                },
                                kTimeoutMs, 20)) {
        std::fprintf(stderr, "bench: the host did not show %d icons\n", kWaitIcons);
        return false;
    }
    CDesktopHostClient& host = session.Client();
    double seconds = -1;
    bool ok = Settle(host);
    for (int round = 0; round < kRounds && ok; ++round) {
        ok = host.TimeMoves(round % 2 ? -1 : 1, 0, seconds) != 0;
        KeepBest(&row->bare, seconds);
    }
    ok = ok && WriteTargetRules(folder, 0) &&
        WriteLargeLayout(folder + "\\Positions\\large.dvl", "DERVANE ICON POSITIONS", labels, kLayoutRecords) &&
        WriteLargeLayout(folder + "\\Shortcuts\\large.dvl", "DERVANE ICON SHORTCUTS", labels, kLayoutRecords);
    HOOK_AttachDLL(program, const_cast<char*>(folder.c_str()));
    ok = ok && WaitFor([] { return HOOK_IsReady() == 1; }, kTimeoutMs);
    ok = ok && SendSettings(true) && Request(HOOKMSG_RELOAD_HIDE_RULES, "") == 1;
    for (int round = 0; round < kRounds && ok; ++round)
        KeepBest(&row->clicks, TimeClicks(host, &ok));
    for (int round = 0; round < kRefreshRounds && ok; ++round)
        KeepBest(&row->refresh, TimeRefresh(host, &ok));
    ok = ok && WriteTargetRules(folder, kTargetRules);
    for (int round = 0; round < kRounds && ok; ++round)
        KeepBest(&row->applyRules, TimeRequest(host, HOOKMSG_RELOAD_HIDE_RULES, "", &ok));
    for (int round = 0; round < kRounds && ok; ++round)
        KeepBest(&row->clicksWithRules, TimeClicks(host, &ok));
    for (int round = 0; round < kRefreshRounds && ok; ++round)
        KeepBest(&row->refreshWithRules, TimeRefresh(host, &ok));
    for (int round = 0; round < kRounds && ok; ++round) {
        ok = host.TimeMoves(3, 2, seconds) && ok;
        KeepBest(&row->load, TimeRequest(host, HOOKMSG_LOAD_POSITIONS, "large.dvl", &ok));
        ok = host.TimeMoves(-3, -2, seconds) && ok;
        KeepBest(&row->loadShortcuts, TimeRequest(host, HOOKMSG_LOAD_SHORTCUTS, "large.dvl", &ok));
    }
    HOOK_AttachDLL(nullptr, nullptr);
    session.Stop();
    if (!ok)
        std::fprintf(stderr, "bench: a step of the desktop's waits failed\n");
    return ok;
}

int RunWaits(CTestDesktop& desktop, const std::string& folder, HWND program)
{
    WaitRow row;
    CreateDirectoryA((folder + "\\Positions").c_str(), nullptr);
    CreateDirectoryA((folder + "\\Shortcuts").c_str(), nullptr);
    if (!MeasureWaits(desktop, folder, program, &row)) {
        std::printf("desktop waits: FAILED\n");
        return 1;
    }
    std::printf("\n%d icons, all shortcuts; %d clicks, each selecting one icon; hiding on\n", kWaitIcons, kClicks);
    std::printf("clicks without rules: %.2f ms; with %d rules of targets: %.2f ms; ratio %.2f (aim: at most 1.5)\n",
                row.clicks * 1e3, kTargetRules, row.clicksWithRules * 1e3, row.clicksWithRules / row.clicks);
    std::printf("every icon inserted again (F5) without rules: %.2f ms; with the rules: %.2f ms; ratio %.2f\n",
                row.refresh * 1e3, row.refreshWithRules * 1e3, row.refreshWithRules / row.refresh);
    std::printf("the %d rules read and applied to every icon: %.2f ms (%.2fx the bare moves, %.2f ms)\n",
                kTargetRules, row.applyRules * 1e3, row.applyRules / row.bare, row.bare * 1e3);
    std::printf("a layout of %d records over %d icons loaded (aim: under 1 s): positions %.2f ms, %.2fx the bare\n"
                "moves; shortcuts %.2f ms, %.2fx\n",
                kLayoutRecords, kWaitIcons, row.load * 1e3, row.load / row.bare, row.loadShortcuts * 1e3,
                row.loadShortcuts / row.bare);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CTestDesktop desktop;
    if (!desktop.Open())
        return 1;
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder(module);
    folder = folder.substr(0, folder.find_last_of('\\')) + "\\bench.layouts";
    CreateDirectoryA(folder.c_str(), nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProgramProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DervaneLayoutBench";
    RegisterClassA(&wc);
    HWND program = CreateWindowA(wc.lpszClassName, "Dervane layout bench", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                 nullptr, wc.hInstance, nullptr);

    // "waits": only the cases of a desktop that must not wait on the library.
    const bool onlyWaits = argc > 1 && std::strcmp(argv[1], "waits") == 0;
    if (onlyWaits) {
        const int failed = RunWaits(desktop, folder, program);
        desktop.Clear();
        DestroyWindow(program);
        CoUninitialize();
        return failed;
    }
    Row rows[3];
    const int sizes[3] = {100, 1000, 3000};
    int failures = 0;
    std::printf("bare: N LVM_GETITEMPOSITION + N LVM_SETITEMPOSITION32 in the host's process, by the list view\n"
                "alone and through the library's subclass; ratios are against the list view alone\n");
    std::printf("placed: a monitor beside the primary comes or goes and every icon goes back from a snapshot,\n"
                "as the library times its placement once the icons have settled\n");
    std::printf("%7s %10s %10s %10s %7s %10s %7s %10s %7s\n", "icons", "bare ms", "hooked ms", "save ms", "ratio",
                "load ms", "ratio", "placed ms", "ratio");
    for (int i = 0; i < 3; ++i) {
        if (!Measure(desktop, folder, program, sizes[i], &rows[i])) {
            std::printf("%7d FAILED\n", sizes[i]);
            return 1;
        }
        const Row& r = rows[i];
        std::printf("%7d %10.2f %10.2f %10.2f %7.2f %10.2f %7.2f %10.2f %7.2f\n", r.icons, r.bare * 1e3,
                    r.hooked * 1e3, r.save * 1e3, r.save / r.bare, r.load * 1e3, r.load / r.bare, r.change * 1e3,
                    r.change / r.bare);
        std::fflush(stdout);
        if (r.save / r.bare > 3 || r.load / r.bare > 3)
            ++failures;
    }
    const double saveGrowth = (rows[2].save / rows[2].bare) / (rows[0].save / rows[0].bare);
    const double loadGrowth = (rows[2].load / rows[2].bare) / (rows[0].load / rows[0].bare);
    std::printf("ratio at 3,000 over ratio at 100: save %.2f, load %.2f (aim: at most 1.5)\n", saveGrowth, loadGrowth);
    std::printf("aim of 3x at every size: %s\n", failures ? "missed" : "met");
    std::printf("a change of monitors placed at 1,000 icons: %.2fx the bare calls (aim: at most 1.5)\n",
                rows[1].change / rows[1].bare);
    const int failed = RunWaits(desktop, folder, program);
    desktop.Clear();
    DestroyWindow(program);
    CoUninitialize();
    return failed;
}
