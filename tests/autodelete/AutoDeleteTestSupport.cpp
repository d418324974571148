#include "tests/autodelete/AutoDeleteTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

std::vector<RecordedBox> BoxRecorder::boxes;
std::deque<int> BoxRecorder::answers;

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

}  // namespace

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// Wine starts a Linux program named by its \\?\unix\ path; its process
// handle cannot be waited on, so the callers wait for its effect.
bool FolderLinks::RunLinuxTool(const std::string& folder, const std::string& arguments)
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

bool FolderLinks::Make(const std::string& folder, const std::string& name, const std::string& target, bool absolute)
{
    if (!IsInside(folder, m_tree) || name.find_first_of("\\/ ") != std::string::npos)
        return false;
    std::string resolved = target;
    if (absolute) {
        if (!IsInside(target, m_tree))
            return false;
        resolved = UnixPath(target);
        if (resolved.empty())
            return false;
    } else {
        // Relative to folder, and still inside the tree once resolved.
        char full[MAX_PATH] = "";
        GetFullPathNameA((folder + "\\" + target).c_str(), sizeof full, full, nullptr);
        if (!IsInside(full, m_tree))
            return false;
        std::replace(resolved.begin(), resolved.end(), '\\', '/');
    }
    if (!RunLinuxTool(folder, "\\\\?\\unix\\bin\\ln -s " + resolved + " " + name))
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

int BoxRecorder::Show(HWND, const char* text, const char* caption, UINT type)
{
    boxes.push_back(RecordedBox{text ? text : "", caption ? caption : "", type});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
}

void BoxRecorder::Reset()
{
    boxes.clear();
    answers.clear();
}

std::string WindowText(HWND hwnd)
{
    char text[1024] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

void ClickButton(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void TypeText(HWND dialog, int id, const std::string& text)
{
    SetDlgItemTextA(dialog, id, text.c_str());
}

bool SelectListItem(HWND dialog, int id, const std::string& text)
{
    const LRESULT index = SendDlgItemMessageA(dialog, id, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(text.c_str()));
    if (index == LB_ERR)
        return false;
    SendDlgItemMessageA(dialog, id, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    return true;
}

std::vector<std::string> ListItems(HWND dialog, int id)
{
    std::vector<std::string> items;
    const LRESULT count = SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; i++) {
        char text[1024] = "";
        SendDlgItemMessageA(dialog, id, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
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
