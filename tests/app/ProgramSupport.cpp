#include "tests/app/ProgramSupport.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

#include "tests/harness/TextLines.h"
#include "tests/harness/Wait.h"

namespace {

constexpr char kProgramKey[] = "Software\\Quillmere\\Dervane";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kUserClasses[] = "Software\\Classes";

// The folder that holds Dervane.exe: the test executables lie in its "tests".
std::string DistFolder()
{
    std::string folder = CChildProcess::ModuleFolder();  // ends with a backslash
    folder.pop_back();
    return folder.substr(0, folder.rfind('\\'));
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

void MakeFolders(const std::string& path)
{
    for (size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
}

void DeleteValue(HKEY root, const char* key, const char* name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &opened) == ERROR_SUCCESS) {
        RegDeleteValueA(opened, name);
        RegCloseKey(opened);
    }
}

// A value of the key, as text for REG_SZ or as its bytes for anything else.
std::string ReadValue(HKEY root, const char* key, const char* name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return kMissingValue;
    DWORD type = 0;
    DWORD size = 0;
    std::string value = kMissingValue;
    if (RegQueryValueExA(opened, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string data(size, '\0');
        if (RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) == ERROR_SUCCESS) {
            data.resize(size);
            if (type == REG_SZ && !data.empty() && data.back() == '\0')
                data.pop_back();
            value = data;
        }
    }
    RegCloseKey(opened);
    return value;
}

struct WindowSearch {
    DWORD pid;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid)
        return TRUE;
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if (search->className && strcmp(name, search->className) != 0)
        return TRUE;
    char text[256] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (search->caption && strcmp(text, search->caption) != 0)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

BOOL CALLBACK CountChild(HWND, LPARAM param)
{
    ++*reinterpret_cast<int*>(param);
    return TRUE;
}

}  // namespace

const char kMissingValue[] = "(missing)";

int CProgramFolder::Create(const std::string& name, bool withResources)
{
    m_path = CChildProcess::ModuleFolder() + "program." + name;
    RemoveTree(m_path);
    MakeFolders(m_path);
    const std::string dist = DistFolder();
    int ok = 1;
    for (const char* name : {"Dervane.exe", "DervaneHook.dll", "DervaneHookCBT.dll"})
        ok &= CopyFileA((dist + "\\" + name).c_str(), PathOf(name).c_str(), FALSE) ? 1 : 0;
    if (withResources) {
        std::string resources = dist + "\\Resources.dll";
        if (GetFileAttributesA(resources.c_str()) == INVALID_FILE_ATTRIBUTES)
            resources = dist + "\\tests\\standin\\Resources.dll";
        ok &= CopyFileA(resources.c_str(), PathOf("Resources.dll").c_str(), FALSE) ? 1 : 0;
    }
    return ok;
}

std::vector<std::string> CProgramFolder::ErrorLog() const
{
    return ReadTextLines(PathOf("ErrorLog.txt"));
}

int CProgramFolder::CountLogLines(const std::string& text) const
{
    int n = 0;
    for (const std::string& line : ErrorLog())
        n += line.find(text) != std::string::npos ? 1 : 0;
    return n;
}

bool CProgramFolder::Exists(const std::string& name) const
{
    return GetFileAttributesA(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int CProgramFolder::WriteFile(const std::string& name, const std::string& content) const
{
    const std::string path = PathOf(name);
    MakeFolders(path.substr(0, path.rfind('\\')));
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    const bool written = fwrite(content.data(), 1, content.size(), f) == content.size();
    return fclose(f) == 0 && written ? 1 : 0;
}

std::string CProgramFolder::ReadFile(const std::string& name) const
{
    std::string text;
    return ReadWholeFile(PathOf(name), &text) ? text : std::string(kMissingValue);
}

void ResetProgramRegistry()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kProgramKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProgramKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kProgramKey);
    DeleteValue(HKEY_LOCAL_MACHINE, kRunKey, "Dervane");
    DeleteValue(HKEY_CURRENT_USER, kRunKey, "Dervane");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".dvl");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".dvl");
    const std::string userDvl = std::string(kUserClasses) + "\\.dvl";
    RegDeleteTreeA(HKEY_CURRENT_USER, userDvl.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, userDvl.c_str());
}

std::string ReadProgramText(const char* name)
{
    return ReadValue(HKEY_CURRENT_USER, kProgramKey, name);
}

std::string ReadProgramBinary(const char* name)
{
    return ReadValue(HKEY_CURRENT_USER, kProgramKey, name);
}

int WriteProgramBinary(const char* name, const void* data, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return 0;
    const LONG result = RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 1 : 0;
}

std::string ReadRunValue()
{
    const std::string machine = ReadValue(HKEY_LOCAL_MACHINE, kRunKey, "Dervane");
    return machine != kMissingValue ? machine : ReadValue(HKEY_CURRENT_USER, kRunKey, "Dervane");
}

std::string ReadAssociationCommand()
{
    const std::string classes = ReadValue(HKEY_CLASSES_ROOT, ".dvl\\shell\\open\\command", "");
    if (classes != kMissingValue)
        return classes;
    const std::string user = std::string(kUserClasses) + "\\.dvl\\shell\\open\\command";
    return ReadValue(HKEY_CURRENT_USER, user.c_str(), "");
}

int CProgramProcess::Start(const CProgramFolder& folder, const std::string& arguments, const char* workingFolder)
{
    std::string command = "\"" + folder.ExePath() + "\"";
    if (!arguments.empty())
        command += " " + arguments;
    return m_process.Start(command, m_desktop.empty() ? nullptr : m_desktop.c_str(),
                           workingFolder ? workingFolder : folder.Path().c_str());
}

HWND FindProcessWindow(DWORD pid, const char* className, const char* caption, const char* desktopName)
{
    WindowSearch search = {pid, className, caption, nullptr};
    if (!pid)
        return nullptr;
    if (!desktopName || !*desktopName) {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    } else if (HDESK desktop = OpenDesktopA(desktopName, 0, FALSE, DESKTOP_READOBJECTS | DESKTOP_ENUMERATE)) {
        EnumDesktopWindows(desktop, MatchWindow, reinterpret_cast<LPARAM>(&search));
        CloseDesktop(desktop);
    }
    return search.found;
}

HWND CProgramProcess::FindWindowOf(const char* className, const char* caption) const
{
    return FindProcessWindow(m_process.Pid(), className, caption, m_desktop.c_str());
}

HWND CProgramProcess::WaitMainWindow(DWORD timeoutMs) const
{
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowOf("CTrayWnd")) != nullptr || !Running(); }, timeoutMs);
    return found;
}

HWND CProgramProcess::Sheet() const
{
    return FindWindowOf(nullptr, "Dervane Properties");
}

bool CProgramProcess::SheetVisible() const
{
    HWND sheet = Sheet();
    return sheet && IsWindowVisible(sheet);
}

bool CProgramProcess::Command(UINT id) const
{
    HWND main = FindWindowOf("CTrayWnd");
    return main && PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool TrayIconExists(HWND window, UINT id)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool RemoveTrayIcon(HWND window, UINT id)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

int TrayWindowIconCount()
{
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    if (!tray)
        return -1;
    int count = 0;
    EnumChildWindows(tray, CountChild, reinterpret_cast<LPARAM>(&count));
    return count;
}

bool WaitWindowGone(HWND window, DWORD timeoutMs)
{
    // A busy wait: a sleep between the checks would widen the moment.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindow(window)) {
        if (GetTickCount64() >= deadline)
            return false;
    }
    return true;
}

std::string EmptyShortcutsLayout(const char* loaded)
{
    return std::string("KTX_FILE\tDERVANE ICON SHORTCUTS\r\nVERSION\t1.0\r\nLOADED\t") + loaded + "\r\n";
}

std::string LoadedState(const std::string& layoutText)
{
    const size_t at = layoutText.find("LOADED\t");
    if (at == std::string::npos)
        return std::string();
    const size_t start = at + 7;
    return layoutText.substr(start, layoutText.find_first_of("\r\n", start) - start);
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeEmptyFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool DropOn(DWORD pid, HWND window, const std::vector<std::string>& paths)
{
    // Wide names, as the shell drops them.
    std::vector<char> block(sizeof(DROPFILES));
    for (const std::string& path : paths) {
        const int n = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
        std::wstring wide(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
        MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], n);
        const char* bytes = reinterpret_cast<const char*>(wide.c_str());
        block.insert(block.end(), bytes, bytes + wide.size() * sizeof(wchar_t));
    }
    block.insert(block.end(), sizeof(wchar_t), '\0');
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    memcpy(block.data(), &header, sizeof header);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return false;
    void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool written = remote && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr);
    CloseHandle(process);
    return written && PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}
