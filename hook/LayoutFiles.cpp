#include "hook/LayoutFiles.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/FileNameChecks.h"
#include "common/KeyedFileRewrite.h"
#include "common/KeyedTextFile.h"
#include "common/LayoutFormat.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "hook/Appearance.h"
#include "hook/Arrangement.h"
#include "hook/DesktopListView.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/IconHiding.h"
#include "hook/IconPlacement.h"
#include "hook/LayoutRecord.h"
#include "hook/ShellLinks.h"

namespace {

// The path of the layout file name of that kind, after checking that name
// stays inside its folder; the folder is made first when asked to.
bool LayoutPath(int type, const char* name, bool createFolder, std::string* path)
{
    *path = LayoutFilePath(g_shared.programFolder, type, name ? name : "");
    if (path->empty()) {
        LogWarningFormat("Refused icon layout file name: %s", name ? name : "");
        return false;
    }
    if (createFolder)
        CreateDirectoryW(Utf8ToWide(LayoutFolderPath(g_shared.programFolder, type).c_str()).c_str(), nullptr);
    return true;
}

void WriteAppearance(CKeyedTextFile& file)
{
    const dervaneGroup1_t& look = g_shared.appearance;
    file.WriteLong("ICON_TEXT_COLOR_FG", static_cast<long>(static_cast<int32_t>(look.textForeground)));
    file.WriteLong("ICON_TEXT_COLOR_BG", static_cast<long>(static_cast<int32_t>(look.textBackground)));
    file.WriteInt("ICON_TEXT_BG", look.textBackgroundOpaque);
    file.WriteInt("ICON_STYLE", look.iconStyle);
}

// Keeps the current appearance as the previous one, then takes each
// appearance record the file has, each looked up from the start.
void ReadAppearance(CKeyedTextFile& file)
{
    g_shared.previousAppearance = g_shared.appearance;
    char value[1024];
    dervaneGroup1_t& look = g_shared.appearance;
    if (file.Find("ICON_TEXT_COLOR_FG", value, true))
        look.textForeground = static_cast<uint32_t>(atol(value));
    if (file.Find("ICON_TEXT_COLOR_BG", value, true))
        look.textBackground = static_cast<uint32_t>(atol(value));
    if (file.Find("ICON_TEXT_BG", value, true))
        look.textBackgroundOpaque = static_cast<int8_t>(atoi(value));
    if (file.Find("ICON_STYLE", value, true))
        look.iconStyle = static_cast<int8_t>(atoi(value));
}

void WriteWindowRecord(CKeyedTextFile& file, const char* key, const char* title)
{
    POINT pt = {};
    if (!GetSpecialWindowPosition(title, &pt))
        return;
    char value[32];
    snprintf(value, sizeof value, "%d,%d", static_cast<int>(pt.x), static_cast<int>(pt.y));
    file.Write(key, value);
}

// True when the file has a place for the window (which is moved there if it
// exists, onto a monitor of the arrangement now as icons are).
bool ReadWindowRecord(CKeyedTextFile& file, const char* key, const char* title, const Arrangement& from)
{
    char value[1024];
    char field[1024];
    int x = 0, y = 0;
    if (!file.Find(key, value, true) || !CKeyedTextFile::GetField(value, 0, field) || !ParsePoint(field, &x, &y))
        return false;
    HWND wnd = FindWindowW(nullptr, Utf8ToWide(title).c_str());
    RECT rc = {};
    if (wnd && GetWindowRect(wnd, &rc)) {
        const ScreenPoint at = PlaceWindow(from, CurrentArrangement(), {x, y}, rc.right - rc.left, rc.bottom - rc.top);
        MoveSpecialWindow(title, at.x, at.y);
    }
    return true;
}

SIZE ItemSpacing(HWND listView)
{
    const DWORD spacing = static_cast<DWORD>(SendMessageW(listView, LVM_GETITEMSPACING, FALSE, 0));
    return SIZE{std::max<LONG>(LOWORD(spacing), 1), std::max<LONG>(HIWORD(spacing), 1)};
}

// The arrangement a layout was saved on; for a layout without one, the
// arrangement now with the view where it is now.
SavedArrangement ReadSavedArrangement(CKeyedTextFile& file, const char* path)
{
    SavedArrangement saved;
    if (!ReadArrangementRecords(file, path, &saved)) {
        saved.arrangement = CurrentArrangement();
        saved.originX = g_process.viewOrigin.x;
        saved.originY = g_process.viewOrigin.y;
    }
    return saved;
}

struct WantedIcon {
    int index;
    int record;  // the ICON_n it was read from
    IconToPlace place;
    POINT now;  // where it stands now (icons following a change)
};

// The rectangles of the icons not moving, in list-view coordinates.
std::vector<Box> IconsStaying(const CDesktopListView& lv, const std::vector<bool>& moving, SIZE size)
{
    std::vector<Box> staying;
    for (int i = 0; i < static_cast<int>(moving.size()); ++i) {
        POINT pt = {};
        if (!moving[static_cast<size_t>(i)] && lv.GetPosition(i, &pt))
            staying.push_back({pt.x, pt.y, pt.x + size.cx, pt.y + size.cy});
    }
    return staying;
}

// Moves each icon in wanted from the arrangement saved onto the one now, and
// logs what found no free place.
// With placesAreCurrent (icons following a change, not a layout), an icon
// already at its place is not moved again, and one brought from outside
// every monitor takes a free spot.
void MoveIcons(const CDesktopListView& lv, const SavedArrangement& saved, const std::vector<WantedIcon>& wanted,
               SIZE size, const char* path, bool placesAreCurrent = false)
{
    std::vector<IconToPlace> icons;
    icons.reserve(wanted.size());
    for (const WantedIcon& w : wanted)
        icons.push_back(w.place);
    const Arrangement now = CurrentArrangement();
    std::vector<Box> staying;
    if (placesAreCurrent || !saved.arrangement.SameAs(now) || saved.originX != g_process.viewOrigin.x ||
        saved.originY != g_process.viewOrigin.y) {
        std::vector<bool> moving(static_cast<size_t>(std::max(lv.Count(), 0)), false);
        for (const WantedIcon& w : wanted) {
            if (static_cast<size_t>(w.index) < moving.size())
                moving[static_cast<size_t>(w.index)] = true;
        }
        staying = IconsStaying(lv, moving, size);
    }
    const SIZE spacing = ItemSpacing(lv.Handle());
    const PlacementResult result =
        PlaceIcons({&saved.arrangement, saved.originX, saved.originY},
                   {&now, g_process.viewOrigin.x, g_process.viewOrigin.y}, icons, staying, spacing.cx, spacing.cy,
                   placesAreCurrent);
    for (size_t i = 0; i < wanted.size(); ++i) {
        const ScreenPoint& to = result.places[i];
        if (!placesAreCurrent || to.x != wanted[i].now.x || to.y != wanted[i].now.y)
            lv.SetPosition32(wanted[i].index, POINT{to.x, to.y});
    }
    char what[96];
    if (result.moved > 0) {
        snprintf(what, sizeof what, "Brought %d icons from outside every monitor onto one, from: %%s", result.moved);
        LogWarningFormat(what, path);
    }
    if (result.crowded > 0) {
        snprintf(what, sizeof what, "No free place for %d icons, left overlapping others, from: %%s", result.crowded);
        LogWarningFormat(what, path);
    }
}

// Moves each icon the layout names (the first of its label, to its last
// record's place) onto the arrangement now: on the monitor it was saved on
// where that is still there, otherwise by the rule of IconPlacement. A
// hidden icon stays where it is parked. Per item index, *named tells whether
// a record named it. Reads the icon records forward from where the file
// stands, then each icon's monitor.
void PlaceLayoutIcons(CKeyedTextFile& file, const char* path, const SavedArrangement& saved,
                      std::vector<bool>* named)
{
    const CScopedIconIndex index(g_shared.listView);
    const CDesktopListView lv(g_shared.listView);
    const int count = std::max(lv.Count(), 0);
    named->assign(static_cast<size_t>(count), false);
    std::vector<int> wantedAt(static_cast<size_t>(count), -1);
    std::vector<WantedIcon> wanted;
    ReadNumberedIconRecords(file, path, [&](int n, const ShortcutRecord& r, bool) {
        const int icon = lv.FindIconByLabel(r.label);
        if (icon < 0 || icon >= count)
            return;
        (*named)[static_cast<size_t>(icon)] = true;
        if (FindHiddenIcon(r.label) >= 0)
            return;
        int& at = wantedAt[static_cast<size_t>(icon)];
        if (at < 0) {
            at = static_cast<int>(wanted.size());
            wanted.push_back({icon, n, {}, {}});
        }
        wanted[static_cast<size_t>(at)].record = n;
        wanted[static_cast<size_t>(at)].place.x = r.x;
        wanted[static_cast<size_t>(at)].place.y = r.y;
    });
    if (wanted.empty())
        return;
    const std::vector<Box> monitors = ReadIconMonitorRecords(file, path, saved);
    // Every icon of the view has the same icon rectangle: measured once.
    const SIZE size = lv.IconSize(wanted.front().index);
    for (WantedIcon& w : wanted) {
        w.place.width = size.cx;
        w.place.height = size.cy;
        if (static_cast<size_t>(w.record) < monitors.size())
            w.place.monitor = monitors[static_cast<size_t>(w.record)];
    }
    MoveIcons(lv, saved, wanted, size, path);
}

// Makes the layout file called name of that kind afresh with its header
// records, then has write add the rest; false when the name is refused or
// the file cannot be made (logged).
template <typename Write> bool WriteLayoutFile(int type, const char* name, Write write)
{
    std::string path;
    if (!LayoutPath(type, name, true, &path))
        return false;
    CKeyedTextFile file(path.c_str());
    if (!file.Create()) {
        LogWarningFormat(type == kShortcutsLayout ? "Cannot create icon shortcuts file: %s"
                                                  : "Cannot create icon positions file: %s",
                         path.c_str());
        return false;
    }
    file.WriteHeader(LayoutFileTitle(type));
    write(file);
    return true;
}

// Opens the layout file called name of that kind and answers what read
// (file, path) answers; false when the name is refused, the file cannot be
// read, or it has another title (logged).
template <typename Read> bool ReadLayoutFile(int type, const char* name, Read read)
{
    std::string path;
    if (!LayoutPath(type, name, false, &path))
        return false;
    CKeyedTextFile file(path.c_str());
    if (!file.Exists())
        return false;
    if (!file.HasTitle(LayoutFileTitle(type))) {
        LogWarningFormat(type == kShortcutsLayout ? "Invalid icon shortcuts file: %s"
                                                  : "Invalid icon positions file: %s",
                         path.c_str());
        return false;
    }
    return read(file, path.c_str());
}

// Every icon's label and place (a hidden icon's place is the one it had),
// with the arrangement they are on and each icon's monitor. False when a
// record could not be written.
bool WritePositionRecords(CKeyedTextFile& file)
{
    bool written = true;
    WriteAppearance(file);
    const Arrangement& arrangement = g_process.arrangement;
    const POINT origin = g_process.viewOrigin;
    if (!arrangement.Empty())
        written = WriteArrangementRecords(file, arrangement, origin.x, origin.y);
    const CDesktopListView lv(g_shared.listView);
    const SIZE spacing = ItemSpacing(g_shared.listView);
    std::vector<Box> monitors;
    const int count = lv.Count();
    int n = 0;
    for (int i = 0; i < count; ++i) {
        char label[kIconLabelSize];
        POINT pt = {};
        if (!lv.GetLabel(i, label) || !lv.GetPosition(i, &pt))
            continue;
        const int hidden = FindHiddenIcon(label);
        if (hidden >= 0) {
            pt.x = g_process.lists->hiddenIcons[hidden].x;
            pt.y = g_process.lists->hiddenIcons[hidden].y;
        }
        char key[32], value[1024];
        snprintf(key, sizeof key, "ICON_%d", n);
        if (!FormatShortIconRecord(label, pt.x, pt.y, value, sizeof value))
            continue;
        if (!file.Write(key, value))
            written = false;
        const Box box = Box{pt.x, pt.y, pt.x + spacing.cx, pt.y + spacing.cy}.Moved(origin.x, origin.y);
        monitors.push_back(MonitorOf(arrangement, box));
        ++n;
    }
    if (!arrangement.Empty())
        written = WriteIconMonitorRecords(file, monitors) && written;
    WriteWindowRecord(file, "WINDOW_DELETE", DELETE_ICON_TITLE);
    WriteWindowRecord(file, "WINDOW_BACKUP", BACKUP_ICON_TITLE);
    return written;
}

void PlacePositions(CKeyedTextFile& file, const char* path, const char* name)
{
    // Each record of the arrangement is looked up from the start, before the
    // appearance: the icon records are then found forward from it, as they
    // always were.
    const SavedArrangement saved = ReadSavedArrangement(file, path);
    ReadAppearance(file);
    if (IsOriginalLayoutFile(name))
        ShowAllIcons();
    std::vector<bool> named;
    PlaceLayoutIcons(file, path, saved, &named);
    // Both windows are looked up from the start: the backup window's place
    // must not depend on the delete window's record being there.
    ReadWindowRecord(file, "WINDOW_DELETE", DELETE_ICON_TITLE, saved.arrangement);
    ReadWindowRecord(file, "WINDOW_BACKUP", BACKUP_ICON_TITLE, saved.arrangement);
}

// The selected desktop items (every item when none is selected), each with
// what re-creates its link where it has one.
void WriteShortcutRecords(CKeyedTextFile& file)
{
    file.Write(kLoadedRecord, "1");
    WriteAppearance(file);
    const CDesktopListView lv(g_shared.listView);
    const CScopedIconIndex index(g_shared.listView);
    const bool anySelected = SendMessageW(g_shared.listView, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    int n = 0;
    EnumDesktopItems([&](const char* label, const char* itemPath, LPCITEMIDLIST item) {
        const int icon = lv.FindIconByLabel(label);
        if (anySelected && (icon < 0 || !lv.IsSelected(icon)))
            return;
        ShortcutRecord r = {};
        CopyUtf8(r.label, sizeof r.label, label);
        POINT pt = {};
        if (icon >= 0 && lv.GetPosition(icon, &pt)) {
            r.x = pt.x;
            r.y = pt.y;
        }
        // Room for every field at its longest; a record longer than a line
        // is written short below.
        char key[32], value[8192];
        snprintf(key, sizeof key, "ICON_%d", n);
        bool fits = false;
        // A path cut to the field would name another file: such an item
        // keeps only its place.
        if (itemPath[0] && CopyUtf8(r.itemPath, sizeof r.itemPath, itemPath)) {
            ReadShortcut(itemPath, item, &r);
            fits = FormatLongIconRecord(r, value, sizeof value);
            if (!fits)
                LogWarningFormat("Shortcut too long for a layout record: %s", itemPath);
        }
        if (!fits && !FormatShortIconRecord(r.label, r.x, r.y, value, sizeof value))
            return;
        file.Write(key, value);
        ++n;
    });
}

// Creates or removes the layout's shortcuts and places its icons, then
// toggles its loaded state (*toggled tells whether that worked). False when
// the desktop's lists are gone and nothing was done.
bool ApplyShortcutRecords(CKeyedTextFile& file, const char* path, bool* toggled)
{
    g_shared.previousAppearance = g_shared.appearance;
    if (!g_process.lists)
        return false;
    g_process.lists->pendingPositions.clear();
    int loaded = 0;
    ReadLoadedRecord(file, &loaded);
    ReadAppearance(file);

    HCURSOR previous = SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
    const CDesktopListView lv(g_shared.listView);
    const CScopedIconIndex index(g_shared.listView);
    ReadIconRecords(file, path, [&](const ShortcutRecord& r, bool isFile) {
        g_process.lists->pendingPositions.emplace(r.label, POINT{r.x, r.y});
        if (isFile) {
            if (loaded) {
                RemoveShortcut(r);
            } else {
                CreateShortcut(r);
            }
            return;
        }
        const int icon = lv.FindIconByLabel(r.label);
        if (icon >= 0 && FindHiddenIcon(r.label) < 0)
            lv.SetPosition32(icon, POINT{r.x, r.y});
    });
    *toggled = file.Replace(kLoadedRecord, loaded ? "0" : "1") != 0;
    if (!*toggled)
        LogWarningFormat("Could not toggle loaded status of layout file: %s", path);
    SetCursor(previous);
    return true;
}

}  // namespace

bool SavePositions(const char* name)
{
    return WriteLayoutFile(kPositionsLayout, name, [](CKeyedTextFile& file) { WritePositionRecords(file); });
}

bool LoadPositions(const char* name)
{
    const bool read = ReadLayoutFile(kPositionsLayout, name, [&](CKeyedTextFile& file, const char* path) {
        PlacePositions(file, path, name);
        return true;
    });
    if (!read)
        return false;
    g_shared.repaintPending = 1;
    NotifyProgram(HOOKMSG_POSITIONS_LOADED, name);
    return true;
}

bool SaveShortcuts(const char* name)
{
    return WriteLayoutFile(kShortcutsLayout, name, WriteShortcutRecords);
}

bool LoadShortcuts(const char* name)
{
    bool toggled = false;
    const bool read = ReadLayoutFile(kShortcutsLayout, name, [&](CKeyedTextFile& file, const char* path) {
        return ApplyShortcutRecords(file, path, &toggled);
    });
    if (!read)
        return false;
    char base[kHookPayloadSize];
    BaseNameWithoutExtension(name, base, sizeof base);
    RefreshLayoutShortcutIcon(base);
    if (ApplyAppearance(false)) {
        InvalidateRgn(g_shared.listView, nullptr, TRUE);
        UpdateWindow(g_shared.listView);
    }
    NotifyProgram(HOOKMSG_SHORTCUTS_LOADED, name);
    return toggled;
}

bool SavePositionsSnapshot(const char* name)
{
    std::string path;
    if (!LayoutPath(kPositionsLayout, name, true, &path))
        return false;
    const auto write = [](CKeyedTextFile& file) {
        return file.WriteHeader(kPositionsLayoutTitle) && WritePositionRecords(file) ? 1 : 0;
    };
    return RewriteKeyedTextFile(path, write, false) != 0;
}

bool PlaceSnapshot(const char* name, LayoutPlacement* placed)
{
    return ReadLayoutFile(kPositionsLayout, name, [&](CKeyedTextFile& file, const char* path) {
        const SavedArrangement saved = ReadSavedArrangement(file, path);
        // The icon records are read forward from the title.
        char title[CKeyedTextFile::kLineSize];
        file.Find("KTX_FILE", title, true);
        PlaceLayoutIcons(file, path, saved, &placed->icons);
        placed->deleteWindow = ReadWindowRecord(file, "WINDOW_DELETE", DELETE_ICON_TITLE, saved.arrangement);
        placed->backupWindow = ReadWindowRecord(file, "WINDOW_BACKUP", BACKUP_ICON_TITLE, saved.arrangement);
        return true;
    });
}

void FollowArrangement(const Arrangement& from, POINT fromOrigin, const LayoutPlacement* placed, bool wholeItems,
                       const IconPlaces* before)
{
    SavedArrangement saved;
    saved.arrangement = from.Empty() ? CurrentArrangement() : from;
    saved.originX = fromOrigin.x;
    saved.originY = fromOrigin.y;
    const CDesktopListView lv(g_shared.listView);
    const int count = std::max(lv.Count(), 0);
    // Items came or went since: their indexes no longer match.
    if (before && (before->at.size() != static_cast<size_t>(count) || before->known.size() != before->at.size()))
        before = nullptr;
    // Hidden icons are parked off the screen and stay there.
    const bool anyHidden = g_process.lists && !g_process.lists->hiddenIcons.empty();
    std::vector<WantedIcon> wanted;
    wanted.reserve(static_cast<size_t>(count));
    SIZE size = {};
    for (int i = 0; i < count; ++i) {
        if (placed && static_cast<size_t>(i) < placed->icons.size() && placed->icons[static_cast<size_t>(i)])
            continue;
        char label[kIconLabelSize];
        POINT pt = {};
        if ((anyHidden && (!lv.GetLabel(i, label) || FindHiddenIcon(label) >= 0)) || !lv.GetPosition(i, &pt))
            continue;
        if (wholeItems)
            size = lv.BoundsSize(i);
        else if (wanted.empty())
            size = lv.IconSize(i);
        WantedIcon w = {i, 0, {}, pt};
        if (before && before->known[static_cast<size_t>(i)])
            pt = before->at[static_cast<size_t>(i)];
        w.place = {static_cast<int>(pt.x), static_cast<int>(pt.y), static_cast<int>(size.cx),
                   static_cast<int>(size.cy), Box{}};
        wanted.push_back(w);
    }
    if (!wanted.empty())
        MoveIcons(lv, saved, wanted, size, "the desktop", true);
    const Arrangement now = CurrentArrangement();
    const struct {
        const char* title;
        bool placed;
    } windows[] = {{DELETE_ICON_TITLE, placed && placed->deleteWindow}, {BACKUP_ICON_TITLE, placed && placed->backupWindow}};
    for (const auto& window : windows) {
        const char* title = window.title;
        HWND wnd = window.placed ? nullptr : FindWindowW(nullptr, Utf8ToWide(title).c_str());
        RECT rc = {};
        if (!wnd || !GetWindowRect(wnd, &rc))
            continue;
        const ScreenPoint at = PlaceWindow(saved.arrangement, now, {static_cast<int>(rc.left), static_cast<int>(rc.top)},
                                           rc.right - rc.left, rc.bottom - rc.top);
        if (at.x != rc.left || at.y != rc.top)
            MoveSpecialWindow(title, at.x, at.y);
    }
}
