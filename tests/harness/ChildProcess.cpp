#include "tests/harness/ChildProcess.h"

#include <cstdio>
#include <vector>

namespace {
// The job of every child of this test process. Closing its last handle (also
// when this process is killed) ends whatever is still in it.
HANDLE ChildJob()
{
    static HANDLE job = [] {
        HANDLE created = CreateJobObjectA(nullptr, nullptr);
        if (created) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        }
        return created;
    }();
    return job;
}
}  // namespace

std::string CChildProcess::ModuleFolder()
{
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : folder.substr(0, slash + 1);
}

int CChildProcess::Start(const std::string& commandLine, const char* desktop, const char* workingFolder)
{
    Stop();
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.lpDesktop = const_cast<char*>(desktop);
    PROCESS_INFORMATION info = {};
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    // Suspended until it is in the job, so that its own children join it too.
    // Wine now and then answers ERROR_INTERNAL_ERROR for a start (seen both on
    // a virtual desktop that is still settling and on the plain one while
    // other processes start and end); a few more tries, a bounded while, get it.
    BOOL started = FALSE;
    DWORD error = 0;
    for (int attempt = 0; attempt < 20 && !started; ++attempt) {
        started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                 workingFolder, &startup, &info);
        error = started ? 0 : GetLastError();
        if (!started && error != ERROR_INTERNAL_ERROR)
            break;
        if (!started)
            Sleep(50);
    }
    if (!started) {
        std::fprintf(stderr, "harness: cannot start %s (error %lu)\n", commandLine.c_str(), error);
        return 0;
    }
    if (ChildJob() && !AssignProcessToJobObject(ChildJob(), info.hProcess)) {
        std::fprintf(stderr, "harness: cannot put %s in the job (error %lu)\n", commandLine.c_str(), GetLastError());
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    m_process.Reset(info.hProcess);
    m_pid = info.dwProcessId;
    return 1;
}

int CChildProcess::Adopt(DWORD pid)
{
    Stop();
    m_process.Reset(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!m_process.IsValid())
        return 0;
    m_pid = pid;
    return 1;
}

bool CChildProcess::Running() const
{
    return m_process.IsValid() && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

long CChildProcess::WaitExit(DWORD timeoutMs) const
{
    if (!m_process.IsValid() || WaitForSingleObject(m_process.Get(), timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_process.Get(), &code);
    return static_cast<long>(code);
}

void CChildProcess::Stop()
{
    if (!m_process.IsValid())
        return;
    if (WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.Get(), 1);
        if (WaitForSingleObject(m_process.Get(), 10000) != WAIT_OBJECT_0) {
            std::fprintf(stderr, "harness: process %lu did not end\n", m_pid);
        }
    }
    m_process.Reset();
    m_pid = 0;
}
