#include "desktop/DesktopFolder.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <objbase.h>

#include "common/Utf8.h"
#include "desktop/DesktopHostProtocol.h"

namespace {
// Display name of a desktop-relative item as the desktop folder gives it,
// read wide (the host runs in the system's code page) and kept as UTF-8.
std::string DisplayName(IShellFolder* desktop, LPCITEMIDLIST pidl, SHGDNF flags)
{
    STRRET name = {};
    if (FAILED(desktop->GetDisplayNameOf(pidl, flags, &name)))
        return std::string();
    wchar_t buffer[MAX_PATH * 2] = {};
    if (FAILED(StrRetToBufW(&name, pidl, buffer, MAX_PATH * 2)))
        return std::string();
    return WideToUtf8(buffer);
}

int SystemImage(LPCITEMIDLIST pidl)
{
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(reinterpret_cast<LPCWSTR>(pidl), 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_LARGEICON)) {
        return -1;
    }
    return info.iIcon;
}

bool IsShortcut(const std::string& path)
{
    return path.size() > 4 && _stricmp(path.c_str() + path.size() - 4, ".lnk") == 0;
}

// The icon of a shortcut's target. Wine's shell gives every shortcut the
// generic document icon; the shell on Windows shows the target's.
int ShortcutImage(const std::string& path)
{
    ScopedComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.PutVoid()))) {
        return -1;
    }
    ScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid())))
        return -1;
    if (FAILED(file->Load(Utf8ToWide(path.c_str()).c_str(), STGM_READ)))
        return -1;
    wchar_t target[MAX_PATH] = {};
    WIN32_FIND_DATAW found = {};
    if (link->GetPath(target, MAX_PATH, &found, SLGP_RAWPATH) != S_OK || !target[0])
        return -1;
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(target, 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_LARGEICON))
        return -1;
    return info.iIcon;
}

// Cuts a label, on a character boundary, to what the shared label field holds.
std::string FitLabel(std::string label)
{
    label.resize(Utf8PrefixLength(label.data(), label.size(), DesktopHostProtocol::kLabelSize - 1));
    return label;
}
}  // namespace

int CDesktopFolder::Open()
{
    if (FAILED(SHGetDesktopFolder(m_desktop.Put())))
        return 0;
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path)))
        return 0;
    m_path = WideToUtf8(path);
    SHFILEINFOW info = {};
    m_largeImages = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_LARGEICON));
    m_smallImages = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    AddFixedItem("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", "My Computer");
    AddFixedItem("::{645FF040-5081-101B-9F08-00AA002F954E}", "Recycle Bin");
    return 1;
}

void CDesktopFolder::AddFixedItem(const char* clsid, const char* label)
{
    DesktopEntry entry;
    entry.key = clsid;
    entry.label = label;
    std::wstring wide = Utf8ToWide(clsid);
    ScopedPidl pidl;
    if (SUCCEEDED(m_desktop->ParseDisplayName(nullptr, nullptr, &wide[0], nullptr, pidl.Put(), nullptr))) {
        entry.image = SystemImage(pidl.Get());
    }
    m_fixed.push_back(entry);
}

int CDesktopFolder::IsInDirectory(const std::string& path) const
{
    if (path.size() <= m_path.size() + 1)
        return 0;
    if (!EqualsNoCase(path.substr(0, m_path.size()), m_path))
        return 0;
    if (path[m_path.size()] != '\\')
        return 0;
    return path.find('\\', m_path.size() + 1) == std::string::npos ? 1 : 0;
}

int CDesktopFolder::Enumerate(std::vector<DesktopEntry>& out, const std::unordered_set<std::string>& known) const
{
    out = m_fixed;
    ScopedComPtr<IEnumIDList> items;
    HRESULT hr = m_desktop->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items.Put());
    if (FAILED(hr))
        return 0;
    if (hr == S_FALSE || !items.Get())
        return 1;  // nothing to enumerate
    for (;;) {
        ScopedPidl pidl;
        ULONG fetched = 0;
        if (items->Next(1, pidl.Put(), &fetched) != S_OK || fetched != 1)
            break;
        DesktopEntry entry;
        entry.key = DisplayName(m_desktop.Get(), pidl.Get(), SHGDN_FORPARSING);
        // The desktop also lists namespace items and the common desktop: keep
        // the files of the user's desktop directory.
        if (!IsInDirectory(entry.key))
            continue;
        entry.label = FitLabel(DisplayName(m_desktop.Get(), pidl.Get(), SHGDN_INFOLDER));
        if (known.count(entry.key) == 0) {
            int image = IsShortcut(entry.key) ? ShortcutImage(entry.key) : -1;
            entry.image = image >= 0 ? image : SystemImage(pidl.Get());
        }
        out.push_back(std::move(entry));
    }
    return 1;
}
