#include "hook/Arrangement.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <tuple>

#include "common/KeyedTextFile.h"
#include "common/LayoutFormat.h"
#include "common/Log.h"

namespace {

constexpr long kCoordinateLimit = 1000000;
constexpr int kDefaultDpi = 96;
constexpr size_t kNamedMonitors = 6;

bool ParseNumber(const char* text, const char** end, long* out)
{
    char* stop = nullptr;
    errno = 0;
    const long value = strtol(text, &stop, 10);
    if (stop == text || errno == ERANGE || value > kCoordinateLimit || value < -kCoordinateLimit)
        return false;
    *end = stop;
    *out = value;
    return true;
}

// dpi values from 24 (25 %) to 960 (1000 %); anything else is taken as 96.
int SaneDpi(long dpi)
{
    return dpi >= 24 && dpi <= 960 ? static_cast<int>(dpi) : kDefaultDpi;
}

void AppendMonitorName(std::string& name, const Monitor& m)
{
    char part[96];
    snprintf(part, sizeof part, " %dx%d%+d%+d", m.rect.Width(), m.rect.Height(), m.rect.left, m.rect.top);
    name += part;
    if (m.dpi != kDefaultDpi) {
        snprintf(part, sizeof part, "@%ddpi", m.dpi);
        name += part;
    }
}

uint32_t Checksum(const Arrangement& arrangement)
{
    uint32_t hash = 2166136261u;
    for (const Monitor& m : arrangement.monitors) {
        for (int v : {m.rect.left, m.rect.top, m.rect.right, m.rect.bottom, m.dpi}) {
            hash ^= static_cast<uint32_t>(v);
            hash *= 16777619u;
        }
    }
    return hash;
}

}  // namespace

Box Arrangement::Bounds() const
{
    if (monitors.empty())
        return {};
    Box all = monitors.front().rect;
    for (const Monitor& m : monitors) {
        all.left = std::min(all.left, m.rect.left);
        all.top = std::min(all.top, m.rect.top);
        all.right = std::max(all.right, m.rect.right);
        all.bottom = std::max(all.bottom, m.rect.bottom);
    }
    return all;
}

bool Arrangement::SameAs(const Arrangement& other) const
{
    if (monitors.size() != other.monitors.size())
        return false;
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (monitors[i].rect != other.monitors[i].rect || monitors[i].dpi != other.monitors[i].dpi)
            return false;
    }
    return true;
}

Arrangement MakeArrangement(std::vector<Monitor> monitors, size_t primary)
{
    Arrangement arrangement;
    if (primary >= monitors.size() || monitors[primary].rect.Empty())
        return arrangement;
    const int dx = -monitors[primary].rect.left;
    const int dy = -monitors[primary].rect.top;
    std::swap(monitors[0], monitors[primary]);
    for (Monitor& m : monitors) {
        m.rect = m.rect.Moved(dx, dy);
        m.work = m.work.Moved(dx, dy);
        m.dpi = SaneDpi(m.dpi);
    }
    const auto place = [](const Monitor& a, const Monitor& b) {
        return std::make_tuple(a.rect.left, a.rect.top, a.rect.right, a.rect.bottom, a.dpi) <
            std::make_tuple(b.rect.left, b.rect.top, b.rect.right, b.rect.bottom, b.dpi);
    };
    std::sort(monitors.begin() + 1, monitors.end(), place);
    for (const Monitor& m : monitors) {
        if (arrangement.monitors.size() == kMaxMonitors)
            break;
        if (!m.rect.Empty())
            arrangement.monitors.push_back(m);
    }
    return arrangement;
}

std::string ArrangementSnapshotFileName(const Arrangement& arrangement)
{
    if (arrangement.monitors.size() == 1 && arrangement.Primary().dpi == kDefaultDpi)
        return ScreenSnapshotFileName(arrangement.Primary().rect.Width(), arrangement.Primary().rect.Height());
    std::string name = "Snapshot";
    for (size_t i = 0; i < arrangement.monitors.size() && i < kNamedMonitors; ++i)
        AppendMonitorName(name, arrangement.monitors[i]);
    if (arrangement.monitors.size() > kNamedMonitors) {
        char rest[64];
        snprintf(rest, sizeof rest, " and %zu more %08x", arrangement.monitors.size() - kNamedMonitors,
                 static_cast<unsigned>(Checksum(arrangement)));
        name += rest;
    }
    return name + kSnapshotExtension;
}

bool ParseBox(const char* text, Box* box)
{
    long v[4] = {};
    const char* at = text;
    for (int i = 0; i < 4; ++i) {
        if (!at || !ParseNumber(at, &at, &v[i]))
            return false;
        if (i < 3) {
            if (*at != ',')
                return false;
            ++at;
        }
    }
    if (v[2] <= 0 || v[3] <= 0)
        return false;
    *box = {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[0] + v[2]),
            static_cast<int>(v[1] + v[3])};
    return true;
}

std::string FormatBox(const Box& box)
{
    char text[64];
    snprintf(text, sizeof text, "%d,%d,%d,%d", box.left, box.top, box.Width(), box.Height());
    return text;
}

bool WriteArrangementRecords(CKeyedTextFile& file, const Arrangement& arrangement, int originX, int originY)
{
    bool written = true;
    char key[32], value[96];
    for (size_t i = 0; i < arrangement.monitors.size(); ++i) {
        const Monitor& m = arrangement.monitors[i];
        snprintf(key, sizeof key, "MONITOR_%zu", i);
        snprintf(value, sizeof value, "%s\t%d", FormatBox(m.rect).c_str(), m.dpi);
        written = file.Write(key, value) && written;
    }
    snprintf(value, sizeof value, "%d,%d", originX, originY);
    return file.Write(kViewOriginRecord, value) && written;
}

bool ReadArrangementRecords(CKeyedTextFile& file, const char* path, SavedArrangement* saved)
{
    *saved = {};
    std::vector<Monitor> monitors;
    char key[32], value[CKeyedTextFile::kLineSize], field[CKeyedTextFile::kLineSize];
    for (size_t i = 0; i < kMaxMonitors; ++i) {
        snprintf(key, sizeof key, "MONITOR_%zu", i);
        if (!file.Find(key, value, true))
            break;
        Monitor m;
        if (!CKeyedTextFile::GetField(value, 0, field) || !ParseBox(field, &m.rect)) {
            LogWarningFormat("Skipped an invalid monitor record in: %s", path);
            if (i == 0)
                break;  // no primary: the arrangement is unknown
            continue;
        }
        if (CKeyedTextFile::GetField(value, 1, field))
            m.dpi = SaneDpi(strtol(field, nullptr, 10));
        monitors.push_back(m);
    }
    if (monitors.empty())
        return false;
    saved->offsetX = monitors.front().rect.left;
    saved->offsetY = monitors.front().rect.top;
    saved->arrangement = MakeArrangement(monitors, 0);
    const Box bounds = saved->arrangement.Bounds();
    saved->originX = bounds.left;
    saved->originY = bounds.top;
    const char* at = nullptr;
    long x = 0, y = 0;
    if (file.Find(kViewOriginRecord, value, true)) {
        if (ParseNumber(value, &at, &x) && *at == ',' && ParseNumber(at + 1, &at, &y)) {
            saved->originX = static_cast<int>(x) - saved->offsetX;
            saved->originY = static_cast<int>(y) - saved->offsetY;
        } else {
            LogWarningFormat("Skipped an invalid view origin record in: %s", path);
        }
    }
    return true;
}

bool WriteIconMonitorRecords(CKeyedTextFile& file, const std::vector<Box>& monitors)
{
    bool written = true;
    char key[32];
    for (size_t i = 0; i < monitors.size(); ++i) {
        snprintf(key, sizeof key, "ICON_MONITOR_%zu", i);
        written = file.Write(key, FormatBox(monitors[i]).c_str()) && written;
    }
    return written;
}

std::vector<Box> ReadIconMonitorRecords(CKeyedTextFile& file, const char* path, const SavedArrangement& saved)
{
    std::vector<Box> monitors;
    char key[32], value[CKeyedTextFile::kLineSize];
    for (size_t i = 0;; ++i) {
        snprintf(key, sizeof key, "ICON_MONITOR_%zu", i);
        if (!file.Find(key, value, i == 0))
            break;
        Box box;
        if (ParseBox(value, &box)) {
            box = box.Moved(-saved.offsetX, -saved.offsetY);
        } else {
            LogWarningFormat("Skipped an invalid icon monitor record in: %s", path);
            box = {};
        }
        monitors.push_back(box);
    }
    return monitors;
}
