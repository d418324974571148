// The release's Setup against the desktop host: a silent install into a
// folder whose name has blanks and letters that the system's code page (1252
// in the test prefixes) cannot write, the installed Dervane started, a second
// install over the running one, and a silent uninstall while one of the
// program's dialogs is open; Setup and the uninstaller worked as a user does.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "framework/ScopedHandles.h"
#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"
#include "tests/harness/WideText.h"

namespace {

constexpr DWORD kSetupTimeoutMs = 120000;
constexpr DWORD kExitTimeoutMs = 30000;
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dervane";
constexpr wchar_t kRunOnceKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char* const kProgramFiles[] = {"Dervane.exe",          "DervaneHook.dll",   "DervaneHookCBT.dll",
                                     "Resources.dll",        "TrayIcons.dll",     "Dervane.chm",
                                     "AutoDeleteCommon.txt", "RespondCommon.txt", "Uninstall.exe"};
// What the uninstaller keeps: the user's list files and the layouts' folders.
const std::set<std::string> kUserEntries = {"IconHide.txt",  "AutoDelete.txt", "Backup.txt", "Respond.txt",
                                            "TrayIcons.txt", "Positions\\",    "Shortcuts\\"};

std::wstring KnownFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// Runs commandLine and waits for it; answers its exit code, or -1 (it is then
// ended by its handle).
long RunWide(const std::wstring& commandLine, DWORD timeoutMs)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring command = commandLine;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    ScopedHandle process(info.hProcess);
    ScopedHandle thread(info.hThread);
    if (WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return static_cast<long>(code);
}

std::wstring SetupPath()
{
    return Wide(CChildProcess::ModuleFolder() + DERVANE_SETUP_RELATIVE);
}

long RunSetup(const std::wstring& folder)
{
    // "/D=" comes last and unquoted, blanks and all.
    return RunWide(L"\"" + SetupPath() + L"\" /S /D=" + folder, kSetupTimeoutMs);
}

std::string ReadUninstallValue(const char* name)
{
    char value[1024] = {};
    DWORD size = sizeof value - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return kMissingValue;
    return value;
}

// The commands Setup left in the user's RunOnce key for files still in use.
std::vector<std::wstring> SignInRemovals()
{
    std::vector<std::wstring> commands;
    for (int n = 1; n <= 32; ++n) {
        const std::wstring name = L"Dervane remove " + std::to_wstring(n);
        wchar_t value[1024] = {};
        DWORD size = sizeof value - sizeof value[0];
        // REG_EXPAND_SZ comes back expanded.
        if (RegGetValueW(HKEY_CURRENT_USER, kRunOnceKey, name.c_str(), RRF_RT_REG_SZ, nullptr, value, &size) ==
            ERROR_SUCCESS)
            commands.push_back(value);
    }
    return commands;
}

void ForgetSignInRemovals()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunOnceKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    for (int n = 1; n <= 32; ++n)
        RegDeleteValueW(key, (L"Dervane remove " + std::to_wstring(n)).c_str());
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The names in folder (not "." and ".."), with a trailing backslash for folders.
std::set<std::string> FolderEntries(const std::string& folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA data = {};
    ScopedFind find(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (!find)
        return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.insert(name + ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? "\\" : ""));
    } while (FindNextFileA(find.Get(), &data));
    return names;
}

// Setup's and the uninstaller's windows are dialogs of another process:
// their texts are asked for, their buttons pressed by their commands.
std::string TextOf(HWND window)
{
    char text[2048] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    return text;
}

struct ControlSearch {
    const char* className;
    std::string text;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<ControlSearch*>(context);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (_stricmp(className, search->className) != 0 || TextOf(window).find(search->text) == std::string::npos)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A control of any depth in parent of that class whose text holds text.
HWND FindControl(HWND parent, const char* className, const std::string& text)
{
    ControlSearch search = {className, text, nullptr};
    EnumChildWindows(parent, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct DialogSearch {
    DWORD pid;
    std::string text;
    HWND found;
};

// A top-level dialog of process pid (of any process when 0) that shows text
// in one of its controls.
HWND FindDialogShowing(DWORD pid, const std::string& text)
{
    DialogSearch search = {pid, text, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* search = reinterpret_cast<DialogSearch*>(context);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            char className[64] = {};
            GetClassNameA(window, className, sizeof className);
            if ((search->pid && pid != search->pid) || strcmp(className, "#32770") != 0 || !IsWindowVisible(window) ||
                !FindControl(window, "Static", search->text))
                return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Next, Install, Uninstall, Finish, Close, a box's OK: the button of id 1.
void PressDefault(HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

class InstallerTest : public ProgramTestBase {
protected:
    void SetUp() override
    {
        ProgramTestBase::SetUp();
        // C:\Программы\Мой Дерване
        m_parent = L"C:\\\u041f\u0440\u043e\u0433\u0440\u0430\u043c\u043c\u044b";
        m_install = m_parent + L"\\\u041c\u043e\u0439 \u0414\u0435\u0440\u0432\u0430\u043d\u0435";
        m_link = Utf8(KnownFolder(CSIDL_PROGRAMS)) + "\\Dervane.lnk";
    }
    void TearDown() override
    {
        ProgramTestBase::TearDown();
        RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
        ForgetSignInRemovals();
    }

    std::wstring m_parent;
    std::wstring m_install;
    std::string m_link;
};

TEST_F(InstallerTest, SilentInstallRunUpgradeAndUninstallKeepOnlyTheUsersData)
{
    const std::string folder = Utf8(m_install);
    ASSERT_EQ(CP_UTF8, GetACP()) << "the test, as the program, runs in UTF-8";
    ASSERT_FALSE(PathExists(folder)) << "a fresh prefix";
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    const View before = ReadView();

    ASSERT_EQ(0, RunSetup(m_install));
    for (const char* name : kProgramFiles)
        EXPECT_TRUE(PathExists(folder + "\\" + name)) << name;
    EXPECT_TRUE(PathExists(m_link));
    EXPECT_EQ("Dervane", ReadUninstallValue("DisplayName"));
    EXPECT_EQ("\"" + folder + "\\Uninstall.exe\"", ReadUninstallValue("UninstallString"));
    EXPECT_EQ(folder, ReadUninstallValue("InstallLocation"));
    EXPECT_EQ(kMissingValue, ReadRunValue()) << "the program writes its own, at its first start";

    // The installed program, on the desktop, writes its traces and the desktop as found.
    m_folder.Adopt(folder);
    ASSERT_TRUE(StartReady(m_program));
    EXPECT_EQ("\"" + folder + "\\Dervane.exe\"", ReadRunValue()) << "quoted: the path has blanks";
    EXPECT_EQ(folder + "\\dervane.exe \"%1\"", ReadAssociationCommand());
    EXPECT_TRUE(WaitFor([&] { return m_folder.Exists("Positions\\[original].dvl"); }, 10000));
    const std::string layout = EmptyShortcutsLayout();
    const std::string rules = "KTX_FILE\tDERVANE ICON HIDE\nVERSION\t1\n";
    ASSERT_TRUE(m_folder.WriteFile("Shortcuts\\Work.dvl", layout));
    ASSERT_TRUE(m_folder.WriteFile("IconHide.txt", rules));

    // Over the running one: it is ended through its own exit, the desktop given back.
    ASSERT_EQ(0, RunSetup(m_install));
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    View after = ReadView();
    EXPECT_EQ(0u, after.listViewSubclassed);
    EXPECT_EQ(before.textColor, after.textColor);
    EXPECT_EQ(before.textBkColor, after.textBkColor);
    for (const char* name : kProgramFiles)
        EXPECT_TRUE(PathExists(folder + "\\" + name)) << name;
    EXPECT_EQ(rules, m_folder.ReadFile("IconHide.txt"));
    EXPECT_FALSE(PathExists(folder + "\\DervaneHook.dll.old")) << "the same version's library stays in place";

    // Uninstalled while a drop's message is open over the File Shredder window.
    ASSERT_TRUE(StartReady(m_program));
    HWND shredder = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (shredder = m_program.FindWindowOf(nullptr, "Dervane Delete Icon")) != nullptr; }, 10000));
    ASSERT_TRUE(DropOn(m_program.Pid(), shredder, {"C:\\", folder}));
    ASSERT_TRUE(WaitFor([&] { return m_program.FindWindowOf("#32770", "Error") != nullptr; }, 10000));
    // The user's: the list files the program and the test wrote, the layouts' folders.
    std::set<std::string> kept;
    for (const std::string& name : FolderEntries(folder))
        if (kUserEntries.count(name))
            kept.insert(name);
    for (const char* name : {"IconHide.txt", "Positions\\", "Shortcuts\\"})
        ASSERT_EQ(1u, kept.count(name)) << name;
    // The uninstaller copies itself away, starts the copy and returns at once.
    EXPECT_EQ(0, RunWide(L"\"" + m_install + L"\\Uninstall.exe\" /S", kSetupTimeoutMs));
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    EXPECT_TRUE(WaitFor([&] { return !PathExists(folder + "\\Uninstall.exe"); }, kExitTimeoutMs, 100));
    EXPECT_EQ(nullptr, FindWindowA("CTrayWnd", nullptr));
    after = ReadView();
    EXPECT_EQ(0u, after.listViewSubclassed);
    EXPECT_EQ(before.textBkColor, after.textBkColor);

    // What the desktop's process still maps goes at the next sign-in; the
    // desktop ending here stands for the signing out.
    const std::vector<std::wstring> removals = SignInRemovals();
    for (const std::string& name : FolderEntries(folder)) {
        if (kept.count(name))
            continue;
        const std::wstring path = Wide(folder + "\\" + name);
        bool named = false;
        for (const std::wstring& command : removals)
            named |= command.find(L"\"" + path + L"\"") != std::wstring::npos;
        EXPECT_TRUE(named) << name << " is left and not removed at the next sign-in";
    }
    m_session.Stop();
    for (const std::wstring& command : removals)
        EXPECT_EQ(0, RunWide(command, kExitTimeoutMs));
    EXPECT_EQ(kept, FolderEntries(folder));
    EXPECT_TRUE(m_folder.Exists("Positions\\[original].dvl"));
    EXPECT_EQ(layout, m_folder.ReadFile("Shortcuts\\Work.dvl"));
    EXPECT_EQ(rules, m_folder.ReadFile("IconHide.txt"));
    EXPECT_TRUE(PathExists("C:\\windows"));
    EXPECT_FALSE(PathExists(m_link));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Quillmere\\Dervane"));
    EXPECT_EQ(kMissingValue, ReadRunValue());
    EXPECT_EQ(kMissingValue, ReadAssociationCommand());
}

// Setup over an earlier version whose library the desktop still holds: it
// says to sign out first and does not offer to start the new Dervane. Then
// the uninstaller with "Your layouts and lists" ticked takes the layouts and
// the places kept for each arrangement of monitors, then the folder left
// empty, and nothing else of the user's.
TEST_F(InstallerTest, SetupThatNeedsASignOutStartsNothingAndTheUninstallerTakesTheSnapshots)
{
    const std::string folder = Utf8(m_install);
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    ASSERT_EQ(0, RunSetup(m_install));
    m_folder.Adopt(folder);
    ASSERT_TRUE(StartReady(m_program)) << "the desktop takes the installed library";
    const char earlier[] = "0.9.0";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueA(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion", REG_SZ, earlier, sizeof earlier));

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring command = L"\"" + SetupPath() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    ScopedHandle setup(info.hProcess);
    ScopedHandle setupThread(info.hThread);
    HWND wizard = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (wizard = FindDialogShowing(info.dwProcessId, "Setup will install")); }, 30000));
    PressDefault(wizard);
    ASSERT_TRUE(WaitFor([&] { return FindControl(wizard, "Edit", folder) != nullptr; }, 10000)) << "the folder page";
    PressDefault(wizard);
    HWND box = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (box = FindDialogShowing(info.dwProcessId, "Sign out and in again")); }, kSetupTimeoutMs));
    PressDefault(box);
    ASSERT_TRUE(WaitFor([&] { return FindControl(wizard, "Static", "Sign out and in again before you start it"); },
                        kSetupTimeoutMs))
        << "the finish page says so";
    const HWND run = FindControl(wizard, "Button", "Start Dervane now");
    ASSERT_NE(nullptr, run);
    EXPECT_FALSE(IsWindowVisible(run));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(run, BM_GETCHECK, 0, 0));
    PressDefault(wizard);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(setup.Get(), kSetupTimeoutMs));
    DWORD code = 1;
    GetExitCodeProcess(setup.Get(), &code);
    EXPECT_EQ(0u, code);
    EXPECT_EQ(0, m_program.WaitExit(kExitTimeoutMs));
    EXPECT_EQ(nullptr, FindWindowA("CTrayWnd", nullptr));
    EXPECT_TRUE(PathExists(folder + "\\DervaneHook.dll.old")) << "the earlier library was moved aside";

    // The uninstaller, "Your layouts and lists" ticked.
    const std::vector<std::string> ours = {"Positions\\Home.dvl", "Positions\\Snapshot 1024x768.dvs",
                                           "Positions\\Snapshot 1920x1080+0+0 1280x1024-1280+0@144dpi.dvs",
                                           "Positions\\Snapshot 1024x768.dvs.new", "Shortcuts\\Work.dvl"};
    for (const std::string& name : ours)
        ASSERT_TRUE(m_folder.WriteFile(name, "KTX_FILE\tDERVANE ICON POSITIONS\r\n"));
    ASSERT_TRUE(m_folder.WriteFile("Shortcuts\\Mine.txt", "the user's own"));
    ASSERT_EQ(0, RunWide(L"\"" + m_install + L"\\Uninstall.exe\"", kSetupTimeoutMs)) << "it starts its copy";
    HWND uninstaller = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (uninstaller = FindDialogShowing(0, "will be ended if it is running")); }, 30000));
    PressDefault(uninstaller);
    HWND tree = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (tree = FindControl(uninstaller, "SysTreeView32", "")) != nullptr; }, 10000));
    // As the keyboard does: the second item ("Your layouts and lists") chosen, then ticked.
    const auto caret = [&] { return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)); };
    const auto stateOf = [&](HTREEITEM item) {
        return SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK);
    };
    ASSERT_TRUE(WaitFor([&] { return caret() != nullptr; }, 5000));
    const HTREEITEM first = caret();
    PostMessageA(tree, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_TRUE(WaitFor([&] { return caret() != first; }, 5000));
    const HTREEITEM data = caret();
    const LRESULT unticked = stateOf(data);
    PostMessageA(tree, WM_CHAR, ' ', 0);
    ASSERT_TRUE(WaitFor([&] { return stateOf(data) != unticked; }, 5000));
    PressDefault(uninstaller);
    // Close, once the uninstaller has finished and offers it: then what it
    // removed is looked at.
    EXPECT_TRUE(WaitFor(
        [&] {
            const HWND close = GetDlgItem(uninstaller, IDOK);
            if (close && IsWindowEnabled(close) && TextOf(close).find("Close") != std::string::npos)
                PressDefault(uninstaller);
            return !IsWindow(uninstaller);
        },
        kSetupTimeoutMs, 200));
    EXPECT_FALSE(PathExists(folder + "\\Positions"));
    EXPECT_FALSE(PathExists(folder + "\\Uninstall.exe"));
    for (const std::string& name : ours)
        EXPECT_FALSE(PathExists(folder + "\\" + name)) << name;
    EXPECT_EQ((std::set<std::string>{"Mine.txt"}), FolderEntries(folder + "\\Shortcuts"));
}

// A folder too long for the paths the program builds under it, and a
// Windows that would not give the program its UTF-8 (before Windows 10
// version 1903): Setup refuses and writes nothing.
TEST_F(InstallerTest, SilentInstallRefusesAFolderTooLongAndAWindowsTooOld)
{
    std::wstring tooLong = m_parent + L"\\";
    while (tooLong.size() <= 160)
        tooLong += L"\u0416";
    EXPECT_EQ(2, RunSetup(tooLong));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(tooLong.c_str()));

    // Wine answers the version it is told for a program of this file name.
    const std::wstring oldSetup = Wide(CChildProcess::ModuleFolder()) + L"SetupOnWindows81.exe";
    ASSERT_TRUE(CopyFileW(SetupPath().c_str(), oldSetup.c_str(), FALSE));
    const char* appKey = "Software\\Wine\\AppDefaults\\SetupOnWindows81.exe";
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueA(HKEY_CURRENT_USER, appKey, "Version", REG_SZ, "win81", 6));
    const long code = RunWide(L"\"" + oldSetup + L"\" /S /D=" + m_install, kSetupTimeoutMs);
    RegDeleteTreeA(HKEY_CURRENT_USER, appKey);
    DeleteFileW(oldSetup.c_str());
    EXPECT_EQ(4, code) << "Setup's code for a Windows too old";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((m_install + L"\\Dervane.exe").c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
    EXPECT_FALSE(PathExists(m_link));
}

// A window of the program's main window class on a thread of its own, which
// takes every message and does nothing with it: a Dervane that does not end
// when asked.
class CStuckDervane {
public:
    bool Start()
    {
        m_ready.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!m_ready)
            return false;
        m_thread.Reset(CreateThread(nullptr, 0, &CStuckDervane::Run, this, 0, &m_threadId));
        return m_thread && WaitForSingleObject(m_ready.Get(), 10000) == WAIT_OBJECT_0 && m_window;
    }
    HWND Window() const { return m_window; }
    ~CStuckDervane()
    {
        if (!m_thread)
            return;
        PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(m_thread.Get(), 10000);
    }

private:
    static DWORD WINAPI Run(void* context)
    {
        auto* self = static_cast<CStuckDervane*>(context);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CTrayWnd";
        RegisterClassA(&wc);
        self->m_window = CreateWindowA("CTrayWnd", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
        SetEvent(self->m_ready.Get());
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        if (self->m_window)
            DestroyWindow(self->m_window);
        return 0;
    }

    ScopedHandle m_ready;
    ScopedHandle m_thread;
    DWORD m_threadId = 0;
    HWND m_window = nullptr;
};

// Silent Setup gets Cancel for its Retry/Cancel question, installs nothing,
// and the Dervane it could not end keeps running.
TEST_F(InstallerTest, SilentInstallOverADervaneThatDoesNotEndInstallsNothing)
{
    CStuckDervane stuck;
    ASSERT_TRUE(stuck.Start());
    EXPECT_EQ(3, RunSetup(m_install)) << "Setup's code for a Dervane it could not end";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((m_install + L"\\Dervane.exe").c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
    EXPECT_FALSE(PathExists(m_link));
    EXPECT_TRUE(IsWindow(stuck.Window()));
}

}  // namespace
