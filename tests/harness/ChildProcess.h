#pragma once
#include <windows.h>

#include <string>

#include "framework/ScopedHandles.h"

// A process this test started, ended by its handle when the object goes: no
// process outlives the test that started it. Every child is also put in one
// job object that kills its processes when the test process itself ends, so
// a test killed on a timeout leaves nothing behind either.
class CChildProcess {
public:
    CChildProcess() = default;
    ~CChildProcess() { Stop(); }
    CChildProcess(CChildProcess&&) = default;
    CChildProcess& operator=(CChildProcess&& other) noexcept
    {
        if (this != &other) {
            Stop();
            m_process = std::move(other.m_process);
            m_pid = other.m_pid;
            other.m_pid = 0;
        }
        return *this;
    }

    // Starts commandLine in workingFolder (null: the current directory);
    // desktop names the desktop to start it on (null: this process's one).
    // Answers 0 on failure.
    int Start(const std::string& commandLine, const char* desktop = nullptr, const char* workingFolder = nullptr);
    // Takes over an already running process found by its id (one that a child
    // started); it is ended like the others.
    int Adopt(DWORD pid);

    DWORD Pid() const { return m_pid; }
    HANDLE Handle() const { return m_process.Get(); }
    bool Running() const;
    // Waits up to timeoutMs for the process to end by itself; answers its exit code or -1.
    long WaitExit(DWORD timeoutMs) const;
    // TerminateProcess and a bounded wait for it to be gone.
    void Stop();

    // The folder of the running test executable, with a trailing backslash.
    static std::string ModuleFolder();

private:
    ScopedHandle m_process;
    DWORD m_pid = 0;
};
