#include "tests/harness/HostSession.h"

#include <cstdio>

#include "tests/harness/Wait.h"

namespace {
bool DesktopExists(const std::string& name)
{
    HDESK desktop = OpenDesktopA(name.c_str(), 0, FALSE, DESKTOP_READOBJECTS);
    if (!desktop)
        return false;
    CloseDesktop(desktop);
    return true;
}
}  // namespace

std::string CHostSession::HostPath()
{
    std::string folder = CChildProcess::ModuleFolder();
    std::string beside = folder + "DesktopHost.exe";
    if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES)
        return beside;
    return folder + "..\\DesktopHost.exe";
}

// A host that an earlier test left behind (ended by a timeout before it could
// stop it) would stand in front of this test's own: end it by its id.
static void EndLeftoverHost()
{
    HWND stale = FindWindowA("Progman", "Program Manager");
    if (!stale)
        return;
    DWORD pid = 0;
    GetWindowThreadProcessId(stale, &pid);
    std::fprintf(stderr, "harness: ending a desktop host left by an earlier test (pid %lu)\n",
                 static_cast<unsigned long>(pid));
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

int CHostSession::StartHost(const char* desktop)
{
    if (!desktop)
        EndLeftoverHost();
    std::string command = "\"" + HostPath() + "\"";
    if (!m_hostArguments.empty())
        command += " " + m_hostArguments;
    if (!m_host.Start(command, desktop))
        return 0;
    m_client = CDesktopHostClient();
    if (!m_client.Connect(m_host.Pid(), kStartTimeoutMs) || !m_client.WaitReady(kStartTimeoutMs)) {
        std::fprintf(stderr, "harness: the desktop host did not come up\n");
        Stop();
        return 0;
    }
    return 1;
}

int CHostSession::Start()
{
    Stop();
    return StartHost(nullptr);
}

int CHostSession::StartOnVirtualDesktop(const std::string& name, int width, int height)
{
    Stop();
    char command[160] = {};
    std::snprintf(command, sizeof(command), "explorer.exe /desktop=%s,%dx%d", name.c_str(), width, height);
    if (!m_explorer.Start(command))
        return 0;
    if (!WaitFor([&] { return DesktopExists(name); }, kStartTimeoutMs)) {
        std::fprintf(stderr, "harness: virtual desktop %s did not appear\n", name.c_str());
        Stop();
        return 0;
    }
    m_desktopName = name;
    return StartHost(m_desktopName.c_str());
}

long CHostSession::RunOnDesktop(const std::string& commandLine, DWORD timeoutMs)
{
    CChildProcess helper;
    if (!helper.Start(commandLine, m_desktopName.empty() ? nullptr : m_desktopName.c_str()))
        return -1;
    return helper.WaitExit(timeoutMs);
}

void CHostSession::Stop()
{
    m_client = CDesktopHostClient();
    m_host.Stop();
    m_explorer.Stop();
    m_desktopName.clear();
}
