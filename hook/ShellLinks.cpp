#include "hook/ShellLinks.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <functional>
#include <utility>
#include <io.h>

#include "common/FileNameChecks.h"
#include "common/KeyedTextFile.h"
#include "common/LayoutFormat.h"
#include "common/Log.h"
#include "framework/ScopedHandles.h"
#include "hook/HookSharedData.h"

namespace {

const SHCONTF kEnumFlags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

template <size_t N> void Copy(char (&out)[N], const char* text)
{
    snprintf(out, N, "%s", text ? text : "");
}

// Display names are converted with the ANSI code page, as the list view's
// ANSI labels are, so that a name and its icon's label compare equal.
bool DisplayName(IShellFolder* folder, LPCITEMIDLIST item, SHGDNF flags, char* out, UINT size)
{
    out[0] = '\0';
    STRRET name = {};
    if (FAILED(folder->GetDisplayNameOf(item, flags, &name)))
        return false;
    return SUCCEEDED(StrRetToBufA(&name, item, out, size));
}

using ItemVisitor = std::function<bool(IShellFolder*, LPCITEMIDLIST, const char*)>;

// Calls visit for each item of folder in the shell's order until it answers false.
void EnumItems(IShellFolder* folder, const ItemVisitor& visit)
{
    ScopedComPtr<IEnumIDList> items;
    if (folder->EnumObjects(g_shared.listView, kEnumFlags, items.Put()) != S_OK || !items)
        return;
    LPITEMIDLIST raw = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &raw, &fetched) == S_OK && fetched == 1) {
        ScopedPidl item(raw);
        char name[MAX_PATH];
        DisplayName(folder, item.Get(), SHGDN_INFOLDER, name, sizeof name);
        if (!visit(folder, item.Get(), name))
            break;
    }
}

bool DesktopFolder(ScopedComPtr<IShellFolder>* folder)
{
    return SUCCEEDED(SHGetDesktopFolder(folder->Put())) && *folder;
}

void ClearLinkFields(ShortcutRecord* r)
{
    r->namePath = r->iconIndex = r->showCommand = r->hotKey = 0;
    r->target[0] = r->arguments[0] = r->workingFolder[0] = '\0';
    r->description[0] = r->iconFile[0] = '\0';
}

// The names from the desktop down to the object, joined by backslashes.
void NamePathOf(LPCITEMIDLIST list, char* out, size_t size)
{
    out[0] = '\0';
    ScopedComPtr<IShellFolder> desktop;
    if (!DesktopFolder(&desktop))
        return;
    ScopedPidl copy(ILClone(list));
    std::string path;
    while (copy && !ILIsEmpty(copy.Get())) {
        char name[MAX_PATH];
        DisplayName(desktop.Get(), copy.Get(), SHGDN_NORMAL, name, sizeof name);
        path = path.empty() ? std::string(name) : std::string(name) + "\\" + path;
        if (!ILRemoveLastID(copy.Get()))
            break;
    }
    snprintf(out, size, "%s", path.c_str());
}

void ShellIconLocation(LPCITEMIDLIST item, ShortcutRecord* r)
{
    ScopedComPtr<IShellFolder> desktop;
    if (!item || !DesktopFolder(&desktop))
        return;
    ScopedComPtr<IExtractIconA> extract;
    if (FAILED(desktop->GetUIObjectOf(g_shared.listView, 1, &item, IID_IExtractIconA, nullptr, extract.PutVoid())) ||
        !extract) {
        return;
    }
    char file[MAX_PATH] = "";
    int index = 0;
    UINT flags = 0;
    if (FAILED(extract->GetIconLocation(GIL_FORSHELL, file, sizeof file, &index, &flags)))
        return;
    if (flags & GIL_NOTFILENAME) {
        r->iconIndex = 0;
    } else {
        Copy(r->iconFile, file);
    }
}

bool MakeLink(ScopedComPtr<IShellLinkA>* link)
{
    return SUCCEEDED(
               CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link->PutVoid())) &&
        *link;
}

// Points link at the record's target, a path or a path of display names;
// false when the names lead to no object.
bool SetLinkTarget(IShellLinkA* link, const ShortcutRecord& r)
{
    if (!r.namePath)
        return SUCCEEDED(link->SetPath(r.target));
    ScopedPidl list{ResolveNamePath(r.target)};
    return list && SUCCEEDED(link->SetIDList(list.Get()));
}

bool SaveLink(IShellLinkA* link, const char* path)
{
    ScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid())) || !file)
        return false;
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH))
        return false;
    return SUCCEEDED(file->Save(wide, TRUE));
}

bool SameFolder(const char* path, int csidl)
{
    char folder[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return false;
    const size_t length = strlen(folder);
    return _strnicmp(path, folder, length) == 0 && path[length] == '\\' && IsPlainFileName(path + length + 1);
}

}  // namespace

void EnumDesktopItems(const std::function<void(const char*, const char*, LPCITEMIDLIST)>& visit)
{
    ScopedComInit com;
    ScopedComPtr<IShellFolder> desktop;
    if (!DesktopFolder(&desktop))
        return;
    EnumItems(desktop.Get(), [&](IShellFolder*, LPCITEMIDLIST item, const char* name) {
        char path[MAX_PATH] = "";
        if (!SHGetPathFromIDListA(item, path))
            path[0] = '\0';
        visit(name, path, item);
        return true;
    });
}

bool DesktopDirectory(char* out, size_t size)
{
    char folder[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        if (size)
            out[0] = '\0';
        return false;
    }
    snprintf(out, size, "%s", folder);
    return true;
}

bool IsDesktopItemPath(const char* path)
{
    if (!path || !*path)
        return false;
    return SameFolder(path, CSIDL_DESKTOPDIRECTORY) || SameFolder(path, CSIDL_COMMON_DESKTOPDIRECTORY);
}

HRESULT ReadShortcut(const char* path, LPCITEMIDLIST item, ShortcutRecord* r)
{
    ClearLinkFields(r);
    ScopedComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid());
    if (FAILED(hr))
        return hr;
    ScopedComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.PutVoid());
    if (FAILED(hr))
        return hr;
    wchar_t wide[MAX_PATH];
    if (!path || !MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH))
        return E_INVALIDARG;
    hr = file->Load(wide, STGM_READ);
    if (FAILED(hr))
        return hr;

    char buffer[MAX_PATH] = "";
    WIN32_FIND_DATAA found = {};
    if (link->GetPath(buffer, MAX_PATH, &found, SLGP_UNCPRIORITY) == S_OK)
        Copy(r->target, buffer);
    // Wine answers a link to a shell object (a printer, the computer) with the
    // object's parsing name ("::{CLSID}\..."), where Windows gives no path:
    // such a link is stored by its display names either way.
    if (strncmp(r->target, "::", 2) == 0)
        r->target[0] = '\0';
    if (!r->target[0]) {
        LPITEMIDLIST raw = nullptr;
        if (SUCCEEDED(link->GetIDList(&raw)) && raw) {
            ScopedPidl list(raw);
            NamePathOf(list.Get(), r->target, sizeof r->target);
        }
        r->namePath = 1;
    }
    if (SUCCEEDED(link->GetArguments(buffer, MAX_PATH)))
        Copy(r->arguments, buffer);
    if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH)))
        Copy(r->workingFolder, buffer);
    if (SUCCEEDED(link->GetDescription(buffer, MAX_PATH)))
        Copy(r->description, buffer);
    int index = 0;
    buffer[0] = '\0';
    if (SUCCEEDED(link->GetIconLocation(buffer, MAX_PATH, &index))) {
        Copy(r->iconFile, buffer);
        r->iconIndex = index;
    }
    if (r->iconIndex == 0 && !r->iconFile[0])
        ShellIconLocation(item, r);
    int show = 0;
    if (SUCCEEDED(link->GetShowCmd(&show)))
        r->showCommand = show;
    WORD hotKey = 0;
    if (SUCCEEDED(link->GetHotkey(&hotKey)))
        r->hotKey = hotKey;
    return S_OK;
}

bool ReadDesktopItem(const char* label, ShortcutRecord* record)
{
    ScopedComInit com;
    ScopedComPtr<IShellFolder> desktop;
    if (!label || !DesktopFolder(&desktop))
        return false;
    bool matched = false;
    EnumItems(desktop.Get(), [&](IShellFolder*, LPCITEMIDLIST item, const char* name) {
        if (_stricmp(name, label) != 0)
            return true;
        matched = true;
        Copy(record->label, name);
        char path[MAX_PATH] = "";
        if (!SHGetPathFromIDListA(item, path))
            path[0] = '\0';
        Copy(record->itemPath, path);
        ReadShortcut(path, item, record);
        return true;  // a later match counts over an earlier one
    });
    return matched;
}

bool CreateShortcut(const ShortcutRecord& r)
{
    // Links are only ever made in the desktop folders, and never from a record
    // without a target (a plain file saved in a layout is not re-made as a link).
    if (!IsDesktopItemPath(r.itemPath)) {
        LogWarningFormat("Refused to create a shortcut outside the desktop: %s", r.itemPath);
        return false;
    }
    if (!r.target[0] || _access(r.itemPath, 0) == 0)
        return false;
    ScopedComInit com;
    ScopedComPtr<IShellLinkA> link;
    // A link that points nowhere is not made.
    if (!MakeLink(&link) || !SetLinkTarget(link.Get(), r))
        return false;
    link->SetDescription(r.description);
    link->SetArguments(r.arguments);
    link->SetWorkingDirectory(r.workingFolder);
    link->SetIconLocation(r.iconFile, r.iconIndex);
    link->SetShowCmd(r.showCommand);
    link->SetHotkey(static_cast<WORD>(r.hotKey));
    return SaveLink(link.Get(), r.itemPath);
}

bool RemoveShortcut(const ShortcutRecord& r)
{
    if (!IsDesktopItemPath(r.itemPath)) {
        LogWarningFormat("Refused to remove a file outside the desktop: %s", r.itemPath);
        return false;
    }
    ScopedComInit com;
    ShortcutRecord current = {};
    if (ReadDesktopItem(r.label, &current) &&
        (current.namePath != r.namePath || _stricmp(current.target, r.target) != 0)) {
        return false;  // the user has pointed the link elsewhere: keep it
    }
    // Only shell links are removed: a plain file or folder that a layout
    // recorded is the user's own and stays.
    ShortcutRecord onDisk = {};
    if (FAILED(ReadShortcut(r.itemPath, nullptr, &onDisk)))
        return false;
    return DeleteFileA(r.itemPath) != FALSE;
}

LPITEMIDLIST ResolveNamePath(const char* namePath)
{
    if (!namePath || !*namePath)
        return nullptr;
    ScopedComInit com;
    ScopedComPtr<IShellFolder> desktop;
    if (!DesktopFolder(&desktop))
        return nullptr;
    ScopedComPtr<IShellFolder> current;
    desktop->QueryInterface(IID_IShellFolder, current.PutVoid());
    ScopedPidl list(static_cast<LPITEMIDLIST>(CoTaskMemAlloc(sizeof(USHORT))));
    if (!list)
        return nullptr;
    list.Get()->mkid.cb = 0;
    std::string rest(namePath);
    while (true) {
        const size_t slash = rest.find('\\');
        const std::string name = rest.substr(0, slash);
        ScopedPidl child;
        EnumItems(current.Get(), [&](IShellFolder*, LPCITEMIDLIST item, const char*) {
            // Compare with the name the writer used: the normal display name of
            // the whole list from the desktop.
            ScopedPidl whole(ILCombine(list.Get(), item));
            char text[MAX_PATH];
            if (!whole || !DisplayName(desktop.Get(), whole.Get(), SHGDN_NORMAL, text, sizeof text))
                return true;
            if (name != text)
                return true;
            child.Reset(ILClone(item));
            return false;
        });
        if (!child)
            return nullptr;
        ScopedPidl combined(ILCombine(list.Get(), child.Get()));
        if (!combined)
            return nullptr;
        list = std::move(combined);
        if (slash == std::string::npos)
            return list.Release();
        ScopedComPtr<IShellFolder> next;
        if (FAILED(current->BindToObject(child.Get(), nullptr, IID_IShellFolder, next.PutVoid())) || !next) {
            return nullptr;
        }
        current = std::move(next);
        rest = rest.substr(slash + 1);
    }
}

LayoutState LayoutFileState(int kind, const char* name)
{
    if (!IsPlainFileName(name, 200)) {
        LogWarningFormat("Invalid icon layout name: %s", name ? name : "");
        return kLayoutUnreadable;
    }
    const std::string path = LayoutFilePath(g_shared.programFolder, kind, name + std::string(kLayoutExtension));
    CKeyedTextFile file(path.c_str());
    if (!file.Exists()) {
        LogWarningFormat("Cannot open icon layout file: %s", path.c_str());
        return kLayoutUnreadable;
    }
    if (kind == kShortcutsLayout && file.HasTitle(kShortcutsLayoutTitle)) {
        int loaded = 0;
        return ReadLoadedRecord(file, &loaded) && loaded == 1 ? kShortcutsOnDesktop : kShortcutsOffDesktop;
    }
    if (kind == kPositionsLayout && file.HasTitle(kPositionsLayoutTitle))
        return kPositionsLayoutState;
    LogWarningFormat("Invalid icon layout file: %s", path.c_str());
    return kLayoutUnreadable;
}

bool IconifyLayout(int kind, const char* layoutPath)
{
    char name[MAX_PATH];
    BaseNameWithoutExtension(layoutPath, name, sizeof name);
    if (!IsPlainFileName(name, 200)) {
        LogWarningFormat("Invalid icon layout name: %s", layoutPath ? layoutPath : "");
        return false;
    }
    ShortcutRecord r = {};
    char desktop[MAX_PATH];
    if (DesktopDirectory(desktop, sizeof desktop)) {
        snprintf(r.itemPath, sizeof r.itemPath, "%s\\%s.lnk", desktop, name);
    }
    Copy(r.target, layoutPath);
    Copy(r.workingFolder, g_shared.programFolder);
    snprintf(r.iconFile, sizeof r.iconFile, "%s\\Dervane.exe", g_shared.programFolder);
    Copy(r.description, name);
    r.iconIndex = LayoutFileState(kind, name);
    return CreateShortcut(r);
}

void RefreshLayoutShortcutIcon(const char* name)
{
    ScopedComInit com;
    ShortcutRecord r = {};
    if (!ReadDesktopItem(name, &r))
        return;
    // Only a shell link to this layout is rewritten; any other item of that
    // name (a file, a folder, a link elsewhere, also to the positions layout
    // of the same name) is left as it is.
    const std::string layout = LayoutFilePath(g_shared.programFolder, kShortcutsLayout,
                                              name + std::string(kLayoutExtension));
    if (layout.empty() || r.namePath || _stricmp(r.target, layout.c_str()) != 0)
        return;
    ScopedComPtr<IShellLinkA> link;
    if (!MakeLink(&link) || !SetLinkTarget(link.Get(), r))
        return;
    link->SetDescription(r.description);
    link->SetArguments(r.arguments);
    link->SetWorkingDirectory(r.workingFolder);
    link->SetShowCmd(r.showCommand);
    link->SetHotkey(static_cast<WORD>(r.hotKey));
    link->SetIconLocation(r.iconFile, LayoutFileState(kShortcutsLayout, name));
    SaveLink(link.Get(), r.itemPath);
}

bool GetSpecialWindowPosition(const char* title, POINT* pt)
{
    HWND wnd = FindWindowA(nullptr, title);
    RECT rc = {};
    if (!wnd || !GetWindowRect(wnd, &rc))
        return false;
    *pt = POINT{rc.left, rc.top};
    return true;
}

void MoveSpecialWindow(const char* title, int x, int y)
{
    if (HWND wnd = FindWindowA(nullptr, title)) {
        SetWindowPos(wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
