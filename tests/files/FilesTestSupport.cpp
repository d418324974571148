#include "tests/files/FilesTestSupport.h"

#include "files/FilesResource.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>

bool IsInside(const std::string& path, const std::string& folder)
{
    const bool inside = path.size() > folder.size() + 1 &&
        _strnicmp(path.c_str(), folder.c_str(), folder.size()) == 0 && path[folder.size()] == '\\' &&
        path.find("..") == std::string::npos;
    EXPECT_TRUE(inside) << path << " is not inside " << folder;
    return inside;
}

void MakeFolder(const std::string& path)
{
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}

void MakeFile(const std::string& path, bool readOnly)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    WriteFile(file, "data", 4, &written, nullptr);
    CloseHandle(file);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ShortFormOf(const std::string& path)
{
    char shortForm[MAX_PATH] = "";
    const DWORD length = GetShortPathNameA(path.c_str(), shortForm, sizeof shortForm);
    EXPECT_GT(length, 0u) << path;
    if (length == 0 || length >= sizeof shortForm || _stricmp(shortForm, path.c_str()) == 0)
        return "";
    return std::string(shortForm, length);
}

void MakeFileW(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, "data", 4, &written, nullptr);
    CloseHandle(file);
}

void MakeFolderW(const std::wstring& path)
{
    EXPECT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
}

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data = {};
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (strcmp(data.cFileName, ".") != 0 && strcmp(data.cFileName, "..") != 0)
            names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

// The Linux path of a folder of the prefix.
std::string UnixPath(const std::string& path)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return "";
    wchar_t wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* unix = toUnix(wide);
    if (!unix)
        return "";
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Wine starts a Linux program named by its \\?\unix\ path; its process
// handle cannot be waited on, so the callers wait for its effect.
bool RunLinuxTool(const std::string& folder, const std::string& arguments)
{
    std::string command = arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process))
        return false;
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    return true;
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpPending();
    }
    return true;
}

bool FolderLinks::Make(const std::string& folder, const std::string& name, const std::string& target, bool absolute)
{
    std::string resolved = target;
    if (absolute) {
        if (!IsInside(target, m_tree))
            return false;
        resolved = UnixPath(target);
    } else {
        // Relative to folder, and still inside the tree once resolved.
        char full[MAX_PATH] = "";
        GetFullPathNameA((folder + "\\" + target).c_str(), sizeof full, full, nullptr);
        if (!IsInside(full, m_tree))
            return false;
        std::replace(resolved.begin(), resolved.end(), '\\', '/');
    }
    return MakeTo(folder, name, resolved);
}

bool FolderLinks::MakeToWindowsFolder(const std::string& folder, const std::string& name)
{
    char windows[MAX_PATH] = "";
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    return length > 0 && length < sizeof windows && MakeTo(folder, name, UnixPath(windows));
}

bool FolderLinks::MakeTo(const std::string& folder, const std::string& name, const std::string& linuxTarget)
{
    if (!IsInside(folder, m_tree) || name.find_first_of("\\/ ") != std::string::npos || linuxTarget.empty())
        return false;
    if (!RunLinuxTool(folder, "\\\\?\\unix\\bin\\ln -s " + linuxTarget + " " + name))
        return false;
    const std::string link = folder + "\\" + name;
    m_links.push_back(link);
    return WaitFor([&] {
        const DWORD attributes = GetFileAttributesA(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    });
}

FolderLinks::~FolderLinks()
{
    for (const std::string& link : m_links) {
        const size_t slash = link.find_last_of('\\');
        // rm of the link alone: it never follows a link it removes.
        if (RunLinuxTool(link.substr(0, slash), "\\\\?\\unix\\bin\\rm -f " + link.substr(slash + 1)))
            WaitFor([&] { return !Exists(link); });
    }
}

bool SubstitutedDrive::Make(char letter, const std::string& folder)
{
    const std::string root = std::string(1, letter) + ":\\";
    // Drive C: is the prefix's link dosdevices/c:, its other drives links
    // beside it.
    const std::string driveC = UnixPath("C:\\");
    const std::string target = UnixPath(folder);
    const size_t c = driveC.size() < 3 ? std::string::npos : driveC.size() - 3;
    if (!m_link.empty() || Exists(root) || toupper(static_cast<unsigned char>(folder[0])) != 'C' || target.empty() ||
        c == std::string::npos || driveC.compare(c, 3, "c:/") != 0)
        return false;
    const std::string link = driveC.substr(0, c) + static_cast<char>(tolower(letter)) + ":";
    if (!RunLinuxTool("C:\\", "\\\\?\\unix\\bin\\ln -s " + target + " " + link))
        return false;
    m_link = link;
    m_root = root;
    return WaitFor([&] { return Exists(root); });
}

SubstitutedDrive::~SubstitutedDrive()
{
    if (!m_link.empty() && RunLinuxTool("C:\\", "\\\\?\\unix\\bin\\rm -f " + m_link))
        WaitFor([&] { return !Exists(m_root); });
}

std::wstring MakeDeepFolder(const std::string& root, int levels)
{
    const std::wstring name(100, L'n');
    std::wstring wide = L"\\\\?\\" + std::wstring(root.begin(), root.end());
    for (int level = 0; level < levels; level++) {
        wide += L"\\" + name;
        if (!CreateDirectoryW(wide.c_str(), nullptr)) {
            ADD_FAILURE() << "cannot make level " << level;
            return L"";
        }
    }
    return wide;
}

void PumpPending()
{
    MSG msg = {};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace {

struct ModalWatch {
    const char* caption;
    std::function<bool(HWND)> act;
    DWORD start;
    bool finished;
};
ModalWatch* g_watch = nullptr;

BOOL CALLBACK FindCaptioned(HWND hwnd, LPARAM lp)
{
    if (IsWindowVisible(hwnd) && WindowText(hwnd) == g_watch->caption) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK WatchTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    if (!g_watch || g_watch->finished)
        return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindCaptioned, reinterpret_cast<LPARAM>(&dialog));
    if (dialog && g_watch->act(dialog)) {
        g_watch->finished = true;
        KillTimer(nullptr, id);
        return;
    }
    if (GetTickCount() - g_watch->start > 10000) {
        KillTimer(nullptr, id);
        if (dialog)
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

}  // namespace

bool WhileModal(const std::function<void()>& open, const char* caption, const std::function<bool(HWND)>& act)
{
    ModalWatch watch{caption, act, GetTickCount(), false};
    g_watch = &watch;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &WatchTimer);
    open();
    KillTimer(nullptr, timer);
    g_watch = nullptr;
    return watch.finished;
}

namespace {

// These tests delete files, and run as root: refuse to run at all in a
// prefix with a drive other than its own C: and the build folder's D: (a
// fresh Wine prefix maps Z: to the whole Linux root).
class ConfinedDrivesCheck : public ::testing::Environment {
public:
    void SetUp() override
    {
        char drives[128] = {};
        const DWORD length = GetLogicalDriveStringsA(sizeof drives, drives);
        ASSERT_GT(length, 0u);
        ASSERT_LT(length, sizeof drives);
        for (const char* drive = drives; *drive; drive += strlen(drive) + 1) {
            const char letter = static_cast<char>(toupper(static_cast<unsigned char>(drive[0])));
            ASSERT_TRUE(letter == 'C' || letter == 'D')
                << "drive " << drive << " may lead outside the prefix: no deletion test runs here";
        }
    }
};

const ::testing::Environment* const g_confinedDrives = ::testing::AddGlobalTestEnvironment(new ConfinedDrivesCheck);

}  // namespace

HDROP MakeDrop(const std::vector<std::wstring>& paths)
{
    std::wstring names;
    for (const std::wstring& path : paths)
        names += path + L'\0';
    names += L'\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    if (!block)
        return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

ProgressFold ReadProgressFold(HWND dialog)
{
    ProgressFold fold;
    RECT rect = {};
    GetClientRect(dialog, &rect);
    fold.clientBottom = rect.bottom;
    const auto controlRect = [dialog](int id) {
        RECT control = {};
        GetWindowRect(GetDlgItem(dialog, id), &control);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&control), 2);
        return control;
    };
    fold.cancelBottom = controlRect(IDCANCEL).bottom;
    const RECT list = controlRect(IDC_PROGRESS_FAILURES);
    fold.listTop = list.top;
    fold.listBottom = list.bottom;
    return fold;
}
