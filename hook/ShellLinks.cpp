#include "hook/ShellLinks.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <functional>
#include <utility>

#include "common/FileNameChecks.h"
#include "common/KeyedTextFile.h"
#include "common/LayoutFormat.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "framework/ScopedHandles.h"
#include "hook/HookSharedData.h"

namespace {

const SHCONTF kEnumFlags = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

// Longest text read from the shell's objects, in UTF-16 units.
constexpr UINT kWideTextUnits = 1024;

// Copies UTF-8 text into a field, cut on a character boundary; false when cut.
template <size_t N> bool Copy(char (&out)[N], const char* text)
{
    return CopyUtf8(out, N, text ? text : "");
}

// The same from wide text.
template <size_t N> bool CopyWide(char (&out)[N], const wchar_t* text)
{
    return Copy(out, WideToUtf8(text).c_str());
}

// Display names as UTF-8, read wide, as the list view's labels are, so that
// a name and its icon's label compare equal whatever the process's code page.
bool DisplayName(IShellFolder* folder, LPCITEMIDLIST item, SHGDNF flags, std::string* out)
{
    out->clear();
    STRRET name = {};
    if (FAILED(folder->GetDisplayNameOf(item, flags, &name)))
        return false;
    wchar_t text[kWideTextUnits] = {};
    if (FAILED(StrRetToBufW(&name, item, text, kWideTextUnits)))
        return false;
    *out = WideToUtf8(text);
    return true;
}

// The file-system path of an item as UTF-8, "" when it has none.
std::string ItemPath(LPCITEMIDLIST item)
{
    wchar_t path[MAX_PATH] = {};
    return SHGetPathFromIDListW(item, path) ? WideToUtf8(path) : std::string();
}

// A shell folder's path as UTF-8, "" when it cannot be read.
std::string SpecialFolder(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return std::string();
    return WideToUtf8(folder);
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
        std::string name;
        DisplayName(folder, item.Get(), SHGDN_INFOLDER, &name);
        if (!visit(folder, item.Get(), name.c_str()))
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
        std::string name;
        DisplayName(desktop.Get(), copy.Get(), SHGDN_NORMAL, &name);
        path = path.empty() ? name : name + "\\" + path;
        if (!ILRemoveLastID(copy.Get()))
            break;
    }
    CopyUtf8(out, size, path.c_str());
}

void ShellIconLocation(LPCITEMIDLIST item, ShortcutRecord* r)
{
    ScopedComPtr<IShellFolder> desktop;
    if (!item || !DesktopFolder(&desktop))
        return;
    ScopedComPtr<IExtractIconW> extract;
    if (FAILED(desktop->GetUIObjectOf(g_shared.listView, 1, &item, IID_IExtractIconW, nullptr, extract.PutVoid())) ||
        !extract) {
        return;
    }
    wchar_t file[MAX_PATH] = {};
    int index = 0;
    UINT flags = 0;
    if (FAILED(extract->GetIconLocation(GIL_FORSHELL, file, MAX_PATH, &index, &flags)))
        return;
    if (flags & GIL_NOTFILENAME) {
        r->iconIndex = 0;
    } else if (!CopyWide(r->iconFile, file)) {
        r->iconFile[0] = '\0';
    }
}

bool MakeLink(ScopedComPtr<IShellLinkW>* link)
{
    return SUCCEEDED(
               CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link->PutVoid())) &&
        *link;
}

// The link's texts from the record, each converted to UTF-16.
void SetLinkTexts(IShellLinkW* link, const ShortcutRecord& r)
{
    link->SetDescription(Utf8ToWide(r.description).c_str());
    link->SetArguments(Utf8ToWide(r.arguments).c_str());
    link->SetWorkingDirectory(Utf8ToWide(r.workingFolder).c_str());
    link->SetShowCmd(r.showCommand);
    link->SetHotkey(static_cast<WORD>(r.hotKey));
}

// Points link at the record's target, a path or a path of display names;
// false when the names lead to no object.
bool SetLinkTarget(IShellLinkW* link, const ShortcutRecord& r)
{
    if (!r.namePath)
        return SUCCEEDED(link->SetPath(Utf8ToWide(r.target).c_str()));
    ScopedPidl list{ResolveNamePath(r.target)};
    return list && SUCCEEDED(link->SetIDList(list.Get()));
}

bool SaveLink(IShellLinkW* link, const char* path)
{
    ScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid())) || !file || !path || !*path)
        return false;
    return SUCCEEDED(file->Save(Utf8ToWide(path).c_str(), TRUE));
}

// path is a plain file name in the folder, its letters in any case.
bool SameFolder(const char* path, int csidl)
{
    const std::string folder = FoldUtf8(SpecialFolder(csidl));
    if (folder.empty())
        return false;
    const std::string folded = FoldUtf8(std::string(path));
    const size_t length = folder.size();
    return folded.compare(0, length, folder) == 0 && folded.size() > length && folded[length] == '\\' &&
        IsPlainFileName(folded.c_str() + length + 1);
}

// A link read from the desktop has the target (a path in any letter case, or
// the same display names) and the arguments that the layout's record keeps.
bool IsLinkOfRecord(const ShortcutRecord& link, const ShortcutRecord& record)
{
    return link.namePath == record.namePath && EqualsNoCase(link.target, record.target) &&
        strcmp(link.arguments, record.arguments) == 0;
}

bool FileExists(const char* path)
{
    return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

void EnumDesktopItems(const std::function<void(const char*, const char*, LPCITEMIDLIST)>& visit)
{
    ScopedComInit com;
    ScopedComPtr<IShellFolder> desktop;
    if (!DesktopFolder(&desktop))
        return;
    EnumItems(desktop.Get(), [&](IShellFolder*, LPCITEMIDLIST item, const char* name) {
        visit(name, ItemPath(item).c_str(), item);
        return true;
    });
}

bool DesktopDirectory(std::string* out)
{
    *out = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    return !out->empty();
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
    if (!path || !*path)
        return E_INVALIDARG;
    ScopedComPtr<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid());
    if (FAILED(hr))
        return hr;
    ScopedComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.PutVoid());
    if (FAILED(hr))
        return hr;
    hr = file->Load(Utf8ToWide(path).c_str(), STGM_READ);
    if (FAILED(hr))
        return hr;

    // A path cut to its field would name another file: it is left empty.
    wchar_t buffer[kWideTextUnits] = {};
    WIN32_FIND_DATAW found = {};
    if (link->GetPath(buffer, MAX_PATH, &found, SLGP_UNCPRIORITY) == S_OK && !CopyWide(r->target, buffer))
        r->target[0] = '\0';
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
    buffer[0] = L'\0';
    if (SUCCEEDED(link->GetArguments(buffer, kWideTextUnits)))
        CopyWide(r->arguments, buffer);
    buffer[0] = L'\0';
    if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH)) && !CopyWide(r->workingFolder, buffer))
        r->workingFolder[0] = '\0';
    buffer[0] = L'\0';
    if (SUCCEEDED(link->GetDescription(buffer, kWideTextUnits)))
        CopyWide(r->description, buffer);
    int index = 0;
    buffer[0] = L'\0';
    if (SUCCEEDED(link->GetIconLocation(buffer, MAX_PATH, &index))) {
        if (!CopyWide(r->iconFile, buffer))
            r->iconFile[0] = '\0';
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
        if (!EqualsNoCase(name, label))
            return true;
        matched = true;
        Copy(record->label, name);
        const std::string path = ItemPath(item);
        if (!Copy(record->itemPath, path.c_str()))
            record->itemPath[0] = '\0';
        ReadShortcut(record->itemPath, item, record);
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
    if (!r.target[0] || FileExists(r.itemPath))
        return false;
    ScopedComInit com;
    ScopedComPtr<IShellLinkW> link;
    // A link that points nowhere is not made.
    if (!MakeLink(&link) || !SetLinkTarget(link.Get(), r))
        return false;
    SetLinkTexts(link.Get(), r);
    link->SetIconLocation(Utf8ToWide(r.iconFile).c_str(), r.iconIndex);
    return SaveLink(link.Get(), r.itemPath);
}

bool RemoveShortcut(const ShortcutRecord& r)
{
    if (!IsDesktopItemPath(r.itemPath)) {
        LogWarningFormat("Refused to remove a file outside the desktop: %s", r.itemPath);
        return false;
    }
    ScopedComInit com;
    // Only the link the record describes goes, read from its own file: a
    // plain file or folder of that name is the user's own, and so is a link
    // of that name the user has pointed elsewhere or given other arguments.
    ShortcutRecord onDisk = {};
    if (FAILED(ReadShortcut(r.itemPath, nullptr, &onDisk)) || !IsLinkOfRecord(onDisk, r))
        return false;
    return DeleteFileW(Utf8ToWide(r.itemPath).c_str()) != FALSE;
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
            std::string text;
            if (!whole || !DisplayName(desktop.Get(), whole.Get(), SHGDN_NORMAL, &text))
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
    char name[kHookPayloadSize];
    BaseNameWithoutExtension(layoutPath, name, sizeof name);
    if (!IsPlainFileName(name, 200)) {
        LogWarningFormat("Invalid icon layout name: %s", layoutPath ? layoutPath : "");
        return false;
    }
    ShortcutRecord r = {};
    std::string desktop;
    // Every path whole or no shortcut: a cut one would name another file.
    const bool fits = DesktopDirectory(&desktop) && Copy(r.itemPath, (desktop + "\\" + name + ".lnk").c_str()) &&
        Copy(r.target, layoutPath) && Copy(r.workingFolder, g_shared.programFolder) &&
        Copy(r.iconFile, (std::string(g_shared.programFolder) + "\\Dervane.exe").c_str());
    if (!fits) {
        LogWarningFormat("Icon layout path too long for a shortcut: %s", layoutPath ? layoutPath : "");
        return false;
    }
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
    if (layout.empty() || r.namePath || !EqualsNoCase(r.target, layout.c_str()))
        return;
    ScopedComPtr<IShellLinkW> link;
    if (!MakeLink(&link) || !SetLinkTarget(link.Get(), r))
        return;
    SetLinkTexts(link.Get(), r);
    link->SetIconLocation(Utf8ToWide(r.iconFile).c_str(), LayoutFileState(kShortcutsLayout, name));
    SaveLink(link.Get(), r.itemPath);
}

bool GetSpecialWindowPosition(const char* title, POINT* pt)
{
    HWND wnd = FindWindowW(nullptr, Utf8ToWide(title).c_str());
    RECT rc = {};
    if (!wnd || !GetWindowRect(wnd, &rc))
        return false;
    *pt = POINT{rc.left, rc.top};
    return true;
}

void MoveSpecialWindow(const char* title, int x, int y)
{
    if (HWND wnd = FindWindowW(nullptr, Utf8ToWide(title).c_str())) {
        SetWindowPos(wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
