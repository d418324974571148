#include "tests/harness/TestDesktop.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>

#include "framework/ScopedHandles.h"

namespace {
bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring Wide(const std::string& text)
{
    int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(size > 0 ? size : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], size);
    wide.resize(size > 0 ? size - 1 : 0);
    return wide;
}
}  // namespace

CTestDesktop::~CTestDesktop()
{
    if (!m_folder.empty())
        Clear();
}

bool CTestDesktop::IsPlainName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of("\\/:") == std::string::npos;
}

int CTestDesktop::Open()
{
    const char* allowed = std::getenv("DERVANE_TEST_DESKTOP");
    if (!RunningUnderWine() && !(allowed && std::string(allowed) == "1")) {
        std::fprintf(stderr, "harness: not under Wine; set DERVANE_TEST_DESKTOP=1 to let tests empty this desktop\n");
        return 0;
    }
    char path[MAX_PATH] = {};
    if (FAILED(
            SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) {
        std::fprintf(stderr, "harness: no desktop folder\n");
        return 0;
    }
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        std::fprintf(stderr, "harness: %s is not a real folder of the prefix\n", path);
        return 0;
    }
    m_folder = path;
    return Clear();
}

std::string CTestDesktop::PathOf(const std::string& name) const
{
    return m_folder + "\\" + name;
}

int CTestDesktop::AddFile(const std::string& name, const std::string& content)
{
    if (m_folder.empty() || !IsPlainName(name))
        return 0;
    ScopedHandle file(
        CreateFileA(PathOf(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return 0;
    DWORD written = 0;
    if (!content.empty() &&
        !WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr)) {
        return 0;
    }
    return 1;
}

int CTestDesktop::AddFolder(const std::string& name)
{
    if (m_folder.empty() || !IsPlainName(name))
        return 0;
    return CreateDirectoryA(PathOf(name).c_str(), nullptr) ? 1 : 0;
}

int CTestDesktop::AddShortcut(const std::string& name, const std::string& target, const std::string& arguments,
                              const std::string& description)
{
    if (m_folder.empty() || !IsPlainName(name + ".lnk"))
        return 0;
    ScopedComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid()))) {
        return 0;
    }
    link->SetPath(target.c_str());
    if (!arguments.empty())
        link->SetArguments(arguments.c_str());
    if (!description.empty())
        link->SetDescription(description.c_str());
    ScopedComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid())))
        return 0;
    return SUCCEEDED(file->Save(Wide(PathOf(name + ".lnk")).c_str(), TRUE)) ? 1 : 0;
}

int CTestDesktop::Remove(const std::string& name)
{
    if (m_folder.empty() || !IsPlainName(name))
        return 0;
    return RemoveTree(PathOf(name));
}

int CTestDesktop::Rename(const std::string& from, const std::string& to)
{
    if (m_folder.empty() || !IsPlainName(from) || !IsPlainName(to))
        return 0;
    return MoveFileA(PathOf(from).c_str(), PathOf(to).c_str()) ? 1 : 0;
}

int CTestDesktop::RemoveTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    // A link to a folder is removed, never followed.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA found = {};
        HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name != "." && name != "..")
                    RemoveTree(path + "\\" + name);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        return RemoveDirectoryA(path.c_str()) ? 1 : 0;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return RemoveDirectoryA(path.c_str()) ? 1 : 0;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) ? 1 : 0;
}

int CTestDesktop::Clear()
{
    if (m_folder.empty())
        return 0;
    int ok = 1;
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((m_folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 1;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            ok &= RemoveTree(PathOf(name));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}
