#include "hook/Monitors.h"

#include <vector>

#include "desktop/DesktopHostProtocol.h"
#include "framework/ScopedHandles.h"

namespace {

struct Found {
    std::vector<Monitor> monitors;
    size_t primary = 0;
};

// GetDpiForMonitor of shcore.dll (Windows 8.1 on), looked up once; the
// system's scale where it is missing.
using DpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;

DpiForMonitor DpiCall()
{
    static const DpiForMonitor call = [] {
        HMODULE shcore = LoadLibraryW(L"shcore.dll");
        return shcore ? reinterpret_cast<DpiForMonitor>(
                            reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    return call;
}

int SystemDpi()
{
    const ScopedGetDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : 96;
}

Box ToBox(const RECT& rc)
{
    return {rc.left, rc.top, rc.right, rc.bottom};
}

BOOL CALLBACK TakeMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto* found = reinterpret_cast<Found*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;
    Monitor m;
    m.rect = ToBox(info.rcMonitor);
    m.work = ToBox(info.rcWork);
    UINT dpiX = 0, dpiY = 0;
    const DpiForMonitor dpiCall = DpiCall();
    if (dpiCall && SUCCEEDED(dpiCall(monitor, kEffectiveDpi, &dpiX, &dpiY)) && dpiX > 0)
        m.dpi = static_cast<int>(dpiX);
    else
        m.dpi = SystemDpi();
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        found->primary = found->monitors.size();
    found->monitors.push_back(m);
    return found->monitors.size() < kMaxMonitors ? TRUE : FALSE;
}

// Inside the desktop host, the stand-in for the shell the tests run against,
// the monitors are the ones the host serves (it exports them from its
// program), so that a test can change them while a session runs. No other
// program exports this: anywhere else the real monitors are measured.
bool HostMonitors(Found* found)
{
    using Served = int (*)(DesktopHostProtocol::RectRecord*, int);
    static const Served served = reinterpret_cast<Served>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), "DervaneHostMonitors")));
    DesktopHostProtocol::RectRecord rects[kMaxMonitors] = {};
    const int count = served ? served(rects, static_cast<int>(kMaxMonitors)) : 0;
    for (int i = 0; i < count && i < static_cast<int>(kMaxMonitors); ++i) {
        Monitor m;
        m.rect = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
        m.work = m.rect;
        m.dpi = SystemDpi();
        found->monitors.push_back(m);
    }
    return !found->monitors.empty();
}

}  // namespace

Arrangement MeasureArrangement()
{
    Found found;
    if (HostMonitors(&found))
        return MakeArrangement(found.monitors, 0);
    EnumDisplayMonitors(nullptr, nullptr, TakeMonitor, reinterpret_cast<LPARAM>(&found));
    return MakeArrangement(found.monitors, found.primary);
}

POINT ListViewOrigin(HWND listView)
{
    POINT origin = {0, 0};
    if (!ClientToScreen(listView, &origin))
        return POINT{0, 0};
    return origin;
}
