#include "desktop/ServedMonitors.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::vector<DesktopHostProtocol::RectRecord> g_served;

}  // namespace

bool ServeMonitors(const char* text)
{
    std::vector<DesktopHostProtocol::RectRecord> monitors;
    const char* at = text ? text : "";
    while (*at) {
        int left = 0, top = 0, width = 0, height = 0, used = 0;
        if (std::sscanf(at, "%d,%d,%d,%d%n", &left, &top, &width, &height, &used) != 4 || width <= 0 ||
            height <= 0 || monitors.size() == 16)
            return false;
        monitors.push_back({left, top, left + width, top + height});
        at += used;
        if (*at == ';')
            ++at;
        else if (*at)
            return false;
    }
    if (!monitors.empty() && (monitors[0].left != 0 || monitors[0].top != 0))
        return false;
    g_served = monitors;
    return true;
}

bool ServedBounds(RECT* bounds)
{
    if (g_served.empty())
        return false;
    *bounds = {g_served[0].left, g_served[0].top, g_served[0].right, g_served[0].bottom};
    for (const auto& m : g_served) {
        bounds->left = std::min<LONG>(bounds->left, m.left);
        bounds->top = std::min<LONG>(bounds->top, m.top);
        bounds->right = std::max<LONG>(bounds->right, m.right);
        bounds->bottom = std::max<LONG>(bounds->bottom, m.bottom);
    }
    return true;
}

int DervaneHostMonitors(DesktopHostProtocol::RectRecord* out, int max)
{
    const int count = static_cast<int>(g_served.size());
    for (int i = 0; out && i < count && i < max; ++i)
        out[i] = g_served[static_cast<size_t>(i)];
    return count;
}
