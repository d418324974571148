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
#include "hook/DesktopListView.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/IconHiding.h"
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

// True when the file has a place for the window (which is moved there if it exists).
bool ReadWindowRecord(CKeyedTextFile& file, const char* key, const char* title)
{
    char value[1024];
    char field[1024];
    int x = 0, y = 0;
    if (!file.Find(key, value, true) || !CKeyedTextFile::GetField(value, 0, field) || !ParsePoint(field, &x, &y))
        return false;
    MoveSpecialWindow(title, x, y);
    return true;
}

// Moves the first icon of the record's label to its place, kept inside the
// view; answers its index, or -1 when no icon bears the label. A hidden icon
// stays where it is parked.
int PlaceIcon(const CDesktopListView& lv, const ShortcutRecord& r)
{
    const int index = lv.FindIconByLabel(r.label);
    if (index < 0 || FindHiddenIcon(r.label) >= 0)
        return index;
    POINT pt = {r.x, r.y};
    // The icon's size only matters for a place outside the view; inside it,
    // no rule below changes anything, and the call is saved.
    if (pt.x < 0 || pt.y < 0 || pt.x > g_shared.viewWidth || pt.y > g_shared.viewHeight) {
        const SIZE size = lv.IconSize(index);
        if (pt.x + size.cx < 0)
            pt.x = 0;
        if (pt.y + size.cy < 0)
            pt.y = 0;
        if (pt.x > g_shared.viewWidth)
            pt.x = g_shared.viewWidth - size.cx;
        if (pt.y > g_shared.viewHeight)
            pt.y = g_shared.viewHeight - size.cy;
    }
    lv.SetPosition32(index, pt);
    return index;
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

// Every icon's label and place; a hidden icon's place is the one it had.
// False when a record could not be written.
bool WritePositionRecords(CKeyedTextFile& file)
{
    bool written = true;
    WriteAppearance(file);
    const CDesktopListView lv(g_shared.listView);
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
        ++n;
    }
    WriteWindowRecord(file, "WINDOW_DELETE", DELETE_ICON_TITLE);
    WriteWindowRecord(file, "WINDOW_BACKUP", BACKUP_ICON_TITLE);
    return written;
}

void PlacePositions(CKeyedTextFile& file, const char* path, const char* name)
{
    ReadAppearance(file);
    if (IsOriginalLayoutFile(name))
        ShowAllIcons();
    {
        const CScopedIconIndex index(g_shared.listView);
        const CDesktopListView lv(g_shared.listView);
        ReadIconRecords(file, path, [&](const ShortcutRecord& r, bool) { PlaceIcon(lv, r); });
    }
    // Both windows are looked up from the start: the backup window's place
    // must not depend on the delete window's record being there.
    ReadWindowRecord(file, "WINDOW_DELETE", DELETE_ICON_TITLE);
    ReadWindowRecord(file, "WINDOW_BACKUP", BACKUP_ICON_TITLE);
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
    ReadIconRecords(file, path, [&](const ShortcutRecord& r, bool isFile) {
        IconPosition pending = {};
        CopyUtf8(pending.label, sizeof pending.label, r.label);
        pending.x = r.x;
        pending.y = r.y;
        g_process.lists->pendingPositions.push_back(pending);
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
        const CScopedIconIndex index(g_shared.listView);
        const CDesktopListView lv(g_shared.listView);
        placed->icons.assign(static_cast<size_t>(std::max(lv.Count(), 0)), false);
        ReadIconRecords(file, path, [&](const ShortcutRecord& r, bool) {
            const int icon = PlaceIcon(lv, r);
            if (icon >= 0 && static_cast<size_t>(icon) < placed->icons.size())
                placed->icons[static_cast<size_t>(icon)] = true;
        });
        placed->deleteWindow = ReadWindowRecord(file, "WINDOW_DELETE", DELETE_ICON_TITLE);
        placed->backupWindow = ReadWindowRecord(file, "WINDOW_BACKUP", BACKUP_ICON_TITLE);
        return true;
    });
}
