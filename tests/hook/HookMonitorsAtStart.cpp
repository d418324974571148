// Real monitors at start, in two Wine sessions that monitors_at_start.sh runs
// on one wide X screen split into monitors:
//   hook_monitors_at_start keep FOLDER   (two monitors, the primary on the right)
// places icons on both and waits until the library keeps the snapshot;
//   hook_monitors_at_start start FOLDER  (the primary alone)
// leaves icons where the other monitor was, as a shell that kept them would,
// then attaches as the program does at start and checks that every icon is
// inside the primary's work area and none on another; then loads the layout
// found at start, as the program does at exit, and checks that no icon is
// outside every monitor. This process stands for the program. Exit code 0
// when all holds; each failure is written to stderr.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "hook/DervaneHook.h"
#include "tests/harness/HostSession.h"
#include "tests/harness/TestDesktop.h"
#include "tests/harness/TextLines.h"
#include "tests/harness/Wait.h"

namespace {

using Item = CDesktopHostClient::ItemRecord;

// The side monitor: 1024x768, to the left of the 1280x1024 primary, 100 lower.
struct Placed {
    const char* label;
    int x, y;  // screen coordinates
};
const Placed kIcons[] = {{"Side one.txt", -900, 200},
                         {"Side two.txt", -600, 400},
                         {"Side three.txt", -1000, 780},
                         {"Main one.txt", 300, 300},
                         {"Main two.txt", 900, 700}};
const char kSnapshot[] = "Positions\\Snapshot 1280x1024+0+0 1024x768-1024+100.dvs";

int g_failures = 0;

void Fail(const std::string& what)
{
    std::fprintf(stderr, "FAILED: %s\n", what.c_str());
    ++g_failures;
}

unsigned long Request(int code, const char* text = "")
{
    dervaneMsg_t msg = {};
    msg.code = code;
    msg.route = HOOKROUTE_HOOK;
    std::snprintf(msg.payload.text, sizeof msg.payload.text, "%s", text);
    return HOOK_SendMessage(&msg);
}

bool Attach(HWND program, const std::string& folder)
{
    HOOK_AttachDLL(program, const_cast<char*>(folder.c_str()));
    if (!WaitFor([] { return HOOK_IsReady() == 1; }, 15000))
        return false;
    dervaneMsg_t msg = {};
    msg.code = HOOKMSG_APPLY_SETTINGS;
    msg.route = HOOKROUTE_HOOK;
    msg.payload.settings.enabled = 1;
    msg.payload.settings.restoreOnRes = 1;
    msg.payload.settings.keepSnapshots = 1;
    msg.payload.settings.textForeground = RGB(255, 255, 255);
    HOOK_SendMessage(&msg);
    return true;
}

// Every icon's rectangle on the screen.
std::vector<std::pair<std::string, RECT>> Icons(CDesktopHostClient& host)
{
    std::vector<std::pair<std::string, RECT>> icons;
    CDesktopHostClient::ViewRecord view = {};
    std::vector<Item> items;
    if (!host.View(view) || !host.Items(items)) {
        Fail("the host does not answer");
        return icons;
    }
    for (const Item& item : items) {
        const int x = item.x + view.listViewRect.left, y = item.y + view.listViewRect.top;
        icons.push_back({item.label, RECT{x, y, x + item.iconRect.right - item.iconRect.left,
                                          y + item.iconRect.bottom - item.iconRect.top}});
    }
    return icons;
}

// Moves each icon of kIcons to its screen place.
bool PlaceIcons(CDesktopHostClient& host)
{
    CDesktopHostClient::ViewRecord view = {};
    if (!host.View(view))
        return false;
    bool placed = true;
    for (const Placed& p : kIcons) {
        Item item = {};
        if (!host.FindItem(p.label, item) || item.index < 0) {
            Fail(std::string("no icon ") + p.label);
            placed = false;
        } else if (!host.Move(item.index, p.x - view.listViewRect.left, p.y - view.listViewRect.top)) {
            Fail(std::string("cannot move ") + p.label);
            placed = false;
        }
    }
    return placed;
}

std::string Describe(const std::string& label, const RECT& r)
{
    return label + " at " + std::to_string(r.left) + "," + std::to_string(r.top);
}

bool Inside(const RECT& r, const RECT& area)
{
    return r.left >= area.left && r.top >= area.top && r.right <= area.right && r.bottom <= area.bottom;
}

bool OnAMonitor(const RECT& r)
{
    return MonitorFromRect(&r, MONITOR_DEFAULTTONULL) != nullptr;
}

int Keep(CDesktopHostClient& host, HWND program, const std::string& folder)
{
    if (GetSystemMetrics(SM_CMONITORS) != 2)
        Fail("expected two monitors, found " + std::to_string(GetSystemMetrics(SM_CMONITORS)));
    if (!Attach(program, folder) || !PlaceIcons(host))
        Fail("the library did not attach, or the icons could not be placed");
    const std::string snapshot = folder + "\\" + kSnapshot;
    if (!WaitFor([&] { return ReadFileBytes(snapshot).find("Main two.txt") != std::string::npos; }, 15000))
        Fail("no snapshot " + snapshot);
    return 0;
}

int Start(CDesktopHostClient& host, HWND program, const std::string& folder)
{
    if (GetSystemMetrics(SM_CMONITORS) != 1)
        Fail("expected the primary alone, found " + std::to_string(GetSystemMetrics(SM_CMONITORS)) + " monitors");
    if (!PlaceIcons(host))
        Fail("the icons could not be placed where the side monitor was");
    // The layout the program keeps at start, as the shell left the icons:
    // written before the library ever moves them.
    std::string original = "KTX_FILE\tDERVANE ICON POSITIONS\r\nVERSION\t1.0\r\nICON_TEXT_COLOR_FG\t-1\r\n"
                           "ICON_TEXT_COLOR_BG\t-1\r\nICON_TEXT_BG\t-1\r\nICON_STYLE\t-1\r\n";
    const auto found = Icons(host);
    for (size_t i = 0; i < found.size(); ++i) {
        original += "ICON_" + std::to_string(i) + "\t" + found[i].first + "\t" + std::to_string(found[i].second.left) +
            "," + std::to_string(found[i].second.top) + "\r\n";
    }
    CreateDirectoryA((folder + "\\Positions").c_str(), nullptr);
    if (FILE* f = std::fopen((folder + "\\Positions\\[original].dvl").c_str(), "wb")) {
        std::fwrite(original.data(), 1, original.size(), f);
        std::fclose(f);
    }
    if (!Attach(program, folder))
        Fail("the library did not attach");
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const auto icons = Icons(host);
    for (size_t i = 0; i < icons.size(); ++i) {
        if (!Inside(icons[i].second, work))
            Fail(Describe(icons[i].first, icons[i].second) + " is outside the work area");
        for (size_t j = i + 1; j < icons.size(); ++j) {
            const RECT &a = icons[i].second, &b = icons[j].second;
            if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                Fail(Describe(icons[i].first, a) + " lies on " + Describe(icons[j].first, b));
        }
    }
    if (Request(HOOKMSG_LOAD_POSITIONS, "[original].dvl") != 1)
        Fail("the layout found at start did not load");
    for (const auto& icon : Icons(host)) {
        if (!OnAMonitor(icon.second))
            Fail(Describe(icon.first, icon.second) + " is outside every monitor after the exit's layout");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "keep") != 0 && std::strcmp(argv[1], "start") != 0)) {
        std::fprintf(stderr, "usage: hook_monitors_at_start keep|start FOLDER\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool keep = std::strcmp(argv[1], "keep") == 0;
    const std::string folder = argv[2];
    CreateDirectoryA(folder.c_str(), nullptr);
    CTestDesktop desktop;
    if (!desktop.Open())
        return 3;
    desktop.Clear();
    for (const Placed& p : kIcons)
        desktop.AddFile(p.label);
    HWND program = CreateWindowA("STATIC", "Dervane monitors", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    CHostSession session;
    if (!session.Start()) {
        std::fprintf(stderr, "FAILED: the desktop host did not start\n");
        return 4;
    }
    keep ? Keep(session.Client(), program, folder) : Start(session.Client(), program, folder);
    HOOK_AttachDLL(nullptr, nullptr);
    session.Stop();
    DestroyWindow(program);
    CoUninitialize();
    std::printf("%s: %d failures\n", argv[1], g_failures);
    return g_failures ? 1 : 0;
}
