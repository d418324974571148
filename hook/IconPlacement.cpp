#include "hook/IconPlacement.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <unordered_map>

namespace {

// Rectangles bucketed by the cells of a grid, so that a free spot is checked
// against the few icons near it rather than every icon.
class COccupancy {
public:
    COccupancy(int cellX, int cellY) : m_cellX(std::max(cellX, 1)), m_cellY(std::max(cellY, 1)) {}

    void Add(const Box& box)
    {
        const int index = static_cast<int>(m_boxes.size());
        m_boxes.push_back(box);
        ForCells(box, [&](uint64_t cell) {
            m_cells[cell].push_back(index);
            return true;
        });
    }
    bool Overlaps(const Box& box) const
    {
        bool hit = false;
        ForCells(box, [&](uint64_t cell) {
            const auto found = m_cells.find(cell);
            if (found == m_cells.end())
                return true;
            for (int index : found->second) {
                if (m_boxes[static_cast<size_t>(index)].Intersects(box)) {
                    hit = true;
                    return false;
                }
            }
            return true;
        });
        return hit;
    }

private:
    static int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
    template <typename F> void ForCells(const Box& box, F f) const
    {
        if (box.Empty())
            return;
        const int x0 = FloorDiv(box.left, m_cellX), x1 = FloorDiv(box.right - 1, m_cellX);
        const int y0 = FloorDiv(box.top, m_cellY), y1 = FloorDiv(box.bottom - 1, m_cellY);
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const uint64_t cell = (static_cast<uint64_t>(static_cast<uint32_t>(x)) << 32) | static_cast<uint32_t>(y);
                if (!f(cell))
                    return;
            }
        }
    }

    int m_cellX, m_cellY;
    std::vector<Box> m_boxes;
    std::unordered_map<uint64_t, std::vector<int>> m_cells;
};

int Clamp(int v, int low, int high)
{
    return high < low ? low : std::min(std::max(v, low), high);
}

// The box moved the least so that it lies inside area (its top-left corner
// inside when it is larger).
Box Inside(const Box& box, const Box& area)
{
    const int x = Clamp(box.left, area.left, area.right - box.Width());
    const int y = Clamp(box.top, area.top, area.bottom - box.Height());
    return box.Moved(x - box.left, y - box.top);
}

long long Distance(const Box& box, const Box& area)
{
    const long long dx = std::max({area.left - box.right, box.left - area.right, 0});
    const long long dy = std::max({area.top - box.bottom, box.top - area.bottom, 0});
    return dx * dx + dy * dy;
}

const Monitor* Nearest(const Arrangement& a, const Box& box)
{
    const Monitor* best = nullptr;
    long long bestDistance = LLONG_MAX;
    for (const Monitor& m : a.monitors) {
        const long long d = Distance(box, m.rect);
        if (d < bestDistance) {
            best = &m;
            bestDistance = d;
        }
    }
    return best;
}

bool OnAnyMonitor(const Arrangement& a, const Box& box)
{
    for (const Monitor& m : a.monitors) {
        if (m.rect.Intersects(box))
            return true;
    }
    return false;
}

// The monitor of the saved arrangement an icon lay on: the one saved with it,
// else the one holding its centre.
Box SourceMonitor(const Arrangement& from, const Box& icon, const Box& saved)
{
    if (!saved.Empty())
        return saved;
    const int cx = icon.left + icon.Width() / 2, cy = icon.top + icon.Height() / 2;
    for (const Monitor& m : from.monitors) {
        if (m.rect.Contains(cx, cy))
            return m.rect;
    }
    return {};
}

struct Target {
    Box box;  // in screen coordinates
    Box freeIn;  // where a free spot is looked for; empty: none is
    bool broughtIn = false;
};

Target PlaceOne(const Arrangement& from, const Arrangement& to, const Box& icon, const Box& saved, bool freeSpots)
{
    Target t;
    t.box = icon;
    const Box source = SourceMonitor(from, icon, saved);
    if (!source.Empty()) {
        const Monitor* same = nullptr;
        long long bestDistance = LLONG_MAX;
        for (const Monitor& m : to.monitors) {
            if (m.rect == source) {
                same = &m;
                break;
            }
            const long long d = std::llabs(static_cast<long long>(m.rect.left) - source.left) +
                std::llabs(static_cast<long long>(m.rect.top) - source.top);
            if (m.rect.Width() == source.Width() && m.rect.Height() == source.Height() && d < bestDistance) {
                same = &m;
                bestDistance = d;
            }
        }
        if (same) {
            t.box = icon.Moved(same->rect.left - source.left, same->rect.top - source.top);
        } else {
            // The same relative place on the primary monitor.
            const Box& primary = to.Primary().rect;
            const int x = primary.left +
                static_cast<int>(static_cast<long long>(icon.left - source.left) * primary.Width() / source.Width());
            const int y = primary.top +
                static_cast<int>(static_cast<long long>(icon.top - source.top) * primary.Height() / source.Height());
            t.freeIn = to.Primary().WorkArea();
            t.box = Inside(icon.Moved(x - icon.left, y - icon.top), t.freeIn);
            return t;
        }
    }
    if (!OnAnyMonitor(to, t.box)) {
        if (const Monitor* nearest = Nearest(to, t.box)) {
            t.box = Inside(t.box, nearest->WorkArea());
            if (freeSpots)
                t.freeIn = nearest->WorkArea();
        }
        t.broughtIn = true;
    }
    return t;
}

// The free spot nearest to box inside area, on a grid of step x step from it;
// false when there is none.
bool FreeSpot(const COccupancy& taken, const Box& area, int stepX, int stepY, Box* box)
{
    const Box start = Inside(*box, area);
    const int rings = std::max(area.Width() / stepX, area.Height() / stepY) + 1;
    for (int r = 0; r <= rings; ++r) {
        for (int j = -r; j <= r; ++j) {
            for (int i = -r; i <= r; ++i) {
                if (std::max(std::abs(i), std::abs(j)) != r)
                    continue;
                const Box candidate = Inside(start.Moved(i * stepX, j * stepY), area);
                if (!taken.Overlaps(candidate)) {
                    *box = candidate;
                    return true;
                }
            }
        }
    }
    return false;
}

}  // namespace

PlacementResult PlaceIcons(const ArrangementView& from, const ArrangementView& to,
                           const std::vector<IconToPlace>& icons, const std::vector<Box>& taken, int spacingX,
                           int spacingY, bool freeSpotsForBroughtIn)
{
    PlacementResult result;
    result.places.resize(icons.size());
    if (!from.arrangement || !to.arrangement || to.arrangement->Empty())
        return result;
    const Arrangement& source = from.arrangement->Empty() ? *to.arrangement : *from.arrangement;
    COccupancy occupied(spacingX, spacingY);
    for (const Box& box : taken)
        occupied.Add(box.Moved(to.originX, to.originY));

    std::vector<Target> targets(icons.size());
    for (size_t i = 0; i < icons.size(); ++i) {
        const IconToPlace& icon = icons[i];
        const Box box = Box{icon.x, icon.y, icon.x + icon.width, icon.y + icon.height}.Moved(from.originX,
                                                                                         from.originY);
        targets[i] = PlaceOne(source, *to.arrangement, box, icon.monitor, freeSpotsForBroughtIn);
        if (targets[i].freeIn.Empty())
            occupied.Add(targets[i].box);
        result.moved += targets[i].broughtIn ? 1 : 0;
    }
    // Icons whose monitor is gone come last, around the icons that kept theirs.
    for (size_t i = 0; i < icons.size(); ++i) {
        Target& t = targets[i];
        if (!t.freeIn.Empty()) {
            const int stepX = std::max(spacingX, t.box.Width()), stepY = std::max(spacingY, t.box.Height());
            if (!FreeSpot(occupied, t.freeIn, std::max(stepX, 1), std::max(stepY, 1), &t.box))
                ++result.crowded;
            occupied.Add(t.box);
        }
        result.places[i] = {t.box.left - to.originX, t.box.top - to.originY};
    }
    return result;
}

Box MonitorOf(const Arrangement& arrangement, const Box& icon)
{
    const Box holding = SourceMonitor(arrangement, icon, Box{});
    if (!holding.Empty())
        return holding;
    const Monitor* nearest = Nearest(arrangement, icon);
    return nearest ? nearest->rect : Box{};
}

ScreenPoint PlaceWindow(const Arrangement& from, const Arrangement& to, ScreenPoint at, int width, int height)
{
    if (to.Empty())
        return at;
    const Box box{at.x, at.y, at.x + std::max(width, 1), at.y + std::max(height, 1)};
    const Target t = PlaceOne(from.Empty() ? to : from, to, box, Box{}, false);
    return {t.box.left, t.box.top};
}
