#include "app/TrayApp.h"

#include <cstring>
#include <vector>

#include "app/TrayWnd.h"
#include "app/resource.h"
#include "common/Utf8.h"
#include "framework/ScopedHandles.h"
#include "hook/HookProtocol.h"

namespace {

constexpr char kMainWindowClass[] = "CTrayWnd";
constexpr char kNeedsUtf8Text[] = "Dervane needs Windows 10 version 1903 or later.";
// Every writer of "msg.dat" holds it: second starts, and the first start
// handing its own command line's file to itself.
constexpr char kHandOffMutexName[] = "Local\\DervaneHandOff";
// A second start that opened a layout file waits this long for the running
// instance to take it.
constexpr DWORD kFileHandOffTimeoutMs = 10000;
// The first start's own hand-off waits this long for its user-interface
// thread (busy with the desktop meanwhile); then it tries at the next tick.
constexpr DWORD kOwnHandOffTimeoutMs = 5000;
constexpr DWORD kBusyRetryMs = 100;

class CHandOffLock {
public:
    explicit CHandOffLock(DWORD timeoutMs) : m_mutex(CreateMutexA(nullptr, FALSE, kHandOffMutexName))
    {
        if (!m_mutex)
            return;
        const DWORD waited = WaitForSingleObject(m_mutex.Get(), timeoutMs);
        // Abandoned: its holder ended while it wrote; the file is written anew.
        m_held = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~CHandOffLock()
    {
        if (m_held)
            ReleaseMutex(m_mutex.Get());
    }
    CHandOffLock(const CHandOffLock&) = delete;
    CHandOffLock& operator=(const CHandOffLock&) = delete;
    bool Held() const { return m_held; }

private:
    ScopedHandle m_mutex;
    bool m_held = false;
};

std::string FolderOfPath(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::string() : WideToUtf8(path.substr(0, slash));
}

// The folder of the program that owns window: it reads "msg.dat" there,
// whichever copy of Dervane this is. This program's own folder if it cannot
// be told.
std::string ProgramFolderOf(HWND window)
{
    // Also on the timer's thread: the buffer is not on its stack.
    std::vector<wchar_t> path(32768, L'\0');
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    DWORD size = static_cast<DWORD>(path.size());
    if (process && QueryFullProcessImageNameW(process.Get(), 0, path.data(), &size))
        return FolderOfPath(std::wstring(path.data(), size));
    size = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    return size ? FolderOfPath(std::wstring(path.data(), size)) : std::string();
}

// Writes "msg.dat" into folder and sends target the app message, asking
// again while it answers busy, until timeoutMs have passed. Answers its
// answer, or kHandOffUnanswered (the file is then removed, so that a late
// look at it finds nothing and does nothing). The caller holds the lock.
long HandOffAndWait(HWND target, const std::string& folder, int code, const std::string& name, DWORD timeoutMs)
{
    const UINT message = RegisterWindowMessageA(DERVANE_APP_MESSAGE_NAME);
    const std::string path = folder + "\\msg.dat";
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs || !IsWindow(target))
            break;
        if (!WriteHandOffFile(path, code, HOOKROUTE_HOOK, name))
            return kHandOffFailed;
        DWORD_PTR answer = kHandOffUnanswered;
        if (!SendMessageTimeoutA(target, message, 0, 1, SMTO_NORMAL, timeoutMs - elapsed, &answer))
            break;
        if (answer != kHandOffBusy)
            return static_cast<long>(answer);
        // The running instance is waiting on the desktop, which tells nobody
        // when it is done: asked again shortly.
        Sleep(kBusyRetryMs);
    }
    DeleteFileW(Utf8ToWide(path).c_str());
    return kHandOffUnanswered;
}

}  // namespace

int CTrayApp::InitInstance()
{
    // Every text of the program is UTF-8, which the manifest asks of the
    // system; Windows 10 before version 1903 ignores that and gives the ANSI
    // code page, in which names of other scripts would be lost. Nothing is
    // touched before this: no file, no registry value, no hook.
    if (GetACP() != CP_UTF8) {
        MessageBoxA(nullptr, kNeedsUtf8Text, "Dervane", MB_OK | MB_ICONSTOP);
        return 0;
    }
    m_appMessageId = RegisterWindowMessageA(DERVANE_APP_MESSAGE_NAME);
    m_programFolder = GetModuleFolder();
    ReadCommandLine();

    // The running instance is found by its main window: its sheet is made
    // only when the user first opens it.
    if (HWND running = FindWindowA(kMainWindowClass, nullptr)) {
        HandOff(running, kFileHandOffTimeoutMs, kFileHandOffTimeoutMs);
        // The sheet it shows may come to the front: this start was the user's.
        DWORD pid = 0;
        if (GetWindowThreadProcessId(running, &pid))
            AllowSetForegroundWindow(pid);
        PostMessageA(running, WM_COMMAND, MAKEWPARAM(ID_TRAY_PROPERTIES, 0), 0);
        return 0;
    }

    auto window = std::make_unique<CTrayWnd>(m_appMessageId, m_programFolder);
    window->SetStartedFromFile(!GetArguments().empty());
    m_window = window.get();
    SetMainWindow(std::move(window));
    CFrameWindow::FrameArgs args;
    args.resourceId = IDR_MAINFRAME;
    args.className = kMainWindowClass;
    args.title = "Dervane";
    args.style = WS_OVERLAPPEDWINDOW;
    if (!m_window->LoadFrame(args))
        return 0;
    m_window->Show(SW_HIDE);
    UpdateWindow(m_window->GetHwnd());
    // The timer only hands the command line's layout file over, so without one
    // it is not started: its thread would stay for the rest of the run (about a
    // megabyte under Wine) with nothing to do.
    if (!m_layoutFileName.empty())
        m_handOffTimer = timeSetEvent(500, 200, OnHandOffTimer, reinterpret_cast<DWORD_PTR>(this),
                                      TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
    return 1;
}

void CTrayApp::ExitInstance()
{
    if (const UINT timer = m_handOffTimer.exchange(0))
        timeKillEvent(timer);
    m_window = nullptr;
    m_programFolder.clear();
    CApplication::ExitInstance();
}

void CTrayApp::ReadCommandLine()
{
    m_layoutFileName.clear();
    m_layoutCode = 0;
    const std::string path = LayoutPathFromCommandLine(GetArguments().c_str());
    const int code = LayoutCodeOfFile(path);
    if (code == 0)
        return;
    m_layoutCode = code;
    m_layoutFileName = FileNameOfPath(path);
}

long CTrayApp::HandOff(HWND target, DWORD lockTimeoutMs, DWORD timeoutMs) const
{
    if (m_layoutFileName.empty())
        return kHandOffDone;
    const CHandOffLock lock(lockTimeoutMs);
    if (!lock.Held())
        return kHandOffBusy;
    return HandOffAndWait(target, ProgramFolderOf(target), m_layoutCode, m_layoutFileName, timeoutMs);
}

// On the multimedia timer's own thread: waits for the main window to be ready,
// then hands the command line's layout file to this instance's sheet; while
// the window is busy (or a second start hands something over), at the next
// tick again.
void CALLBACK CTrayApp::OnHandOffTimer(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR)
{
    auto* app = reinterpret_cast<CTrayApp*>(user);
    if (!app || id != app->m_handOffTimer.load() || !app->m_window || !app->m_window->IsReady())
        return;
    CTrayWnd* window = app->m_window;
    if (!window)
        return;
    const long answer = app->HandOff(window->GetHwnd(), 0, kOwnHandOffTimeoutMs);
    if (answer == kHandOffBusy || answer == kHandOffUnanswered)
        return;
    if (const UINT timer = app->m_handOffTimer.exchange(0))
        timeKillEvent(timer);
}

int CTrayApp::RunLayoutCommand(const LayoutCommand& command, DWORD timeoutMs)
{
    // A name in the system's code page would be read as another.
    if (GetACP() != CP_UTF8)
        return kCommandFailed;
    // A name that no folder could hold is refused before anything is asked.
    if (CommandLayoutFileName(command.name, 0).empty())
        return kCommandFailed;
    if (!FindWindowA(kMainWindowClass, nullptr))
        return kCommandNoInstance;
    const DWORD start = GetTickCount();
    const CHandOffLock lock(timeoutMs);
    HWND running = FindWindowA(kMainWindowClass, nullptr);
    if (!running)
        return kCommandNoInstance;
    const DWORD elapsed = GetTickCount() - start;
    if (!lock.Held() || elapsed >= timeoutMs)
        return kCommandFailed;
    const std::string folder = ProgramFolderOf(running);
    const std::string fileName = CommandLayoutFileName(command.name, Utf16Length(folder));
    if (fileName.empty())
        return kCommandFailed;
    const int code = command.kind == CommandKind::kSaveLayout ? HOOKMSG_SAVE_POSITIONS : HOOKMSG_LOAD_POSITIONS;
    return HandOffAndWait(running, folder, code, fileName, timeoutMs - elapsed) == kHandOffDone ? kCommandDone
                                                                                              : kCommandFailed;
}

bool CTrayApp::IsExitSwitch(const std::string& arguments)
{
    std::string word = arguments;
    while (!word.empty() && (word.back() == ' ' || word.back() == '\t'))
        word.pop_back();
    return _stricmp(word.c_str(), "/exit") == 0;
}

int CTrayApp::EndRunningInstance(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    // One instance runs at a time; a few rounds cover one that was starting
    // while the first was asked.
    for (int round = 0; round < 4; ++round) {
        HWND main = FindWindowA(kMainWindowClass, nullptr);
        if (!main)
            return 0;
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        ScopedHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
        if (!PostMessageA(main, WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0) && IsWindow(main))
            return 1;
        for (;;) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= timeoutMs)
                return 1;
            // Without a process handle the window's end is what can be seen.
            if (process ? WaitForSingleObject(process.Get(), timeoutMs - elapsed) == WAIT_OBJECT_0 : !IsWindow(main))
                break;
            if (!process)
                Sleep(50);
        }
    }
    return FindWindowA(kMainWindowClass, nullptr) ? 1 : 0;
}
