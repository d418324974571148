#include "hook/IconHiding.h"

#include <cstring>

#include "common/Utf8.h"

#include "hook/DesktopListView.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"

namespace {

std::vector<IconPosition>* HiddenList()
{
    return g_process.lists ? &g_process.lists->hiddenIcons : nullptr;
}

}  // namespace

int FindHiddenIcon(const char* label)
{
    auto* hidden = HiddenList();
    if (!hidden || !label)
        return -1;
    for (size_t i = 0; i < hidden->size(); ++i) {
        if (strcmp((*hidden)[i].label, label) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

bool HideIcon(const char* label)
{
    auto* hidden = HiddenList();
    if (!g_shared.hideEnabled || !g_shared.enabled || !hidden)
        return false;
    CDesktopListView lv(g_shared.listView);
    const int index = lv.FindIconByLabel(label);
    POINT pt = {};
    if (index < 0 || !lv.GetPosition(index, &pt) || pt.y == kParkedY)
        return true;
    lv.SetPosition32(index, POINT{pt.x, kParkedY});
    if (FindHiddenIcon(label) < 0) {
        IconPosition entry = {};
        CopyUtf8(entry.label, sizeof entry.label, label);
        entry.x = pt.x;
        entry.y = pt.y;
        hidden->push_back(entry);
    }
    return true;
}

bool ShowIcon(const char* label)
{
    auto* hidden = HiddenList();
    // An icon that is not hidden is not looked for.
    const int entry = FindHiddenIcon(label);
    if (entry < 0)
        return false;
    CDesktopListView lv(g_shared.listView);
    const int index = lv.FindIconByLabel(label);
    if (index < 0)
        return false;
    POINT pt = {(*hidden)[entry].x, (*hidden)[entry].y};
    hidden->erase(hidden->begin() + entry);
    const SIZE size = lv.BoundsSize(index);
    if (pt.x > g_shared.viewWidth)
        pt.x = g_shared.viewWidth - size.cx;
    if (pt.y > g_shared.viewHeight)
        pt.y = g_shared.viewHeight - size.cy;
    lv.SetPosition32(index, pt);
    return true;
}

void HideAgain()
{
    auto* hidden = HiddenList();
    if (!g_shared.hideEnabled || !g_shared.enabled || !hidden)
        return;
    CDesktopListView lv(g_shared.listView);
    const CScopedIconIndex labels(g_shared.listView);
    for (const IconPosition& entry : *hidden) {
        const int index = lv.FindIconByLabel(entry.label);
        if (index >= 0)
            lv.SetPosition32(index, POINT{0, kParkedY});
    }
}

void ShowAllIcons()
{
    auto* hidden = HiddenList();
    if (!hidden || hidden->empty())
        return;
    const CScopedIconIndex labels(g_shared.listView);
    while (!hidden->empty()) {
        // Copy: ShowIcon removes the entry it shows.
        char label[kIconLabelSize];
        memcpy(label, hidden->back().label, sizeof label);
        if (!ShowIcon(label))
            hidden->pop_back();  // icon gone from the desktop
    }
}
