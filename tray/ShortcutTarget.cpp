#include "tray/ShortcutTarget.h"

#include "common/Utf8.h"

#include <shellapi.h>
#include <shlobj.h>

namespace {

// Each Get call writes its text here from the start; the last character is
// kept a terminator whatever the link holds. Wide: the A calls cut a path at
// MAX_PATH bytes, which its UTF-8 form can pass.
class TextBuffer {
public:
    wchar_t* Data()
    {
        m_text[0] = L'\0';
        return m_text;
    }
    int Size() const { return static_cast<int>(sizeof m_text / sizeof m_text[0] - 1); }
    std::string Text() const { return WideToUtf8(m_text); }
    const wchar_t* Wide() const { return m_text; }

private:
    // The arguments may be longer than a path (INFOTIPSIZE).
    wchar_t m_text[INFOTIPSIZE + 1] = {};
};

// text with its environment variables ("%SystemRoot%") expanded; as it is
// when that fails.
std::string Expanded(const wchar_t* text)
{
    const DWORD size = ExpandEnvironmentStringsW(text, nullptr, 0);
    if (size == 0)
        return WideToUtf8(text);
    std::wstring expanded(size, L'\0');
    const DWORD written = ExpandEnvironmentStringsW(text, &expanded[0], size);
    if (written == 0 || written > size)
        return WideToUtf8(text);
    expanded.resize(written - 1);
    return WideToUtf8(expanded);
}

}  // namespace

bool ResolveShortcut(const std::string& path, ShortcutTarget* link)
{
    ScopedComPtr<IShellLinkW> shellLink;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shellLink.PutVoid())))
        return false;
    ScopedComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.PutVoid())))
        return false;
    if (path.empty() || FAILED(file->Load(Utf8ToWide(path.c_str()).c_str(), STGM_READ)))
        return false;

    bool any = false;
    TextBuffer text;
    int index = -1;
    if (SUCCEEDED(shellLink->GetIconLocation(text.Data(), text.Size(), &index))) {
        // The link keeps the location as it was given, variables and all
        // ("%SystemRoot%\system32\shell32.dll"); the icon calls take none.
        link->iconLocation = Expanded(text.Wide());
        link->iconIndex = index;
        any = true;
    }
    WIN32_FIND_DATAW found = {};
    if (SUCCEEDED(shellLink->GetPath(text.Data(), text.Size(), &found, SLGP_UNCPRIORITY))) {
        // For an item that is no file Windows answers an empty path, Wine the
        // shell's parsing name ("::{clsid}..."), which names no file either.
        link->target = text.Text().rfind("::", 0) == 0 ? std::string() : text.Text();
        any = true;
    }
    if (SUCCEEDED(shellLink->GetArguments(text.Data(), text.Size()))) {
        link->arguments = text.Text();
        any = true;
    }
    if (SUCCEEDED(shellLink->GetWorkingDirectory(text.Data(), text.Size()))) {
        link->workingFolder = text.Text();
        any = true;
    }
    int show = SW_SHOWNORMAL;
    if (SUCCEEDED(shellLink->GetShowCmd(&show))) {
        link->showCommand = show;
        any = true;
    }
    return any;
}

ScopedIcon SmallIconFor(const std::string& file, int index)
{
    if (file.empty())
        return {};
    HICON small = nullptr;
    if (ExtractIconExA(file.c_str(), index, nullptr, &small, 1) != 0 && small)
        return ScopedIcon(small);
    SHFILEINFOA info = {};
    if (SHGetFileInfoA(file.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon)
        return ScopedIcon(info.hIcon);
    return {};
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos)
        return path.substr(0, slash + 1);
    if (path.size() >= 2 && path[1] == ':')
        return path.substr(0, 2);
    return std::string();
}
