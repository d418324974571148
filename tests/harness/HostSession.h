#pragma once
#include <windows.h>

#include <string>

#include "tests/harness/ChildProcess.h"
#include "tests/harness/HostClient.h"

// One desktop host for one test: a fresh DesktopHost.exe, either on this
// process's desktop or inside a Wine virtual desktop of its own (for tests
// that need captions or display changes), and a client connected to it.
// Everything it started ends when it goes, host first.
class CHostSession {
public:
    static constexpr DWORD kStartTimeoutMs = 20000;

    CHostSession() = default;
    ~CHostSession() { Stop(); }
    CHostSession(const CHostSession&) = delete;
    CHostSession& operator=(const CHostSession&) = delete;

    // Arguments of the hosts started from now on (e.g. "/keep-size").
    void SetHostArguments(const std::string& arguments) { m_hostArguments = arguments; }
    // Starts the host and waits until it shows the desktop folder.
    int Start();
    // Starts "explorer /desktop=NAME,WxH", then the host on that desktop.
    int StartOnVirtualDesktop(const std::string& name, int width, int height);
    // Runs commandLine on the session's desktop (the virtual one if any) and
    // waits up to timeoutMs for it to end; answers its exit code, or -1.
    long RunOnDesktop(const std::string& commandLine, DWORD timeoutMs);
    void Stop();

    CDesktopHostClient& Client() { return m_client; }
    CChildProcess& Host() { return m_host; }
    CChildProcess& Explorer() { return m_explorer; }
    const std::string& DesktopName() const { return m_desktopName; }

    // DesktopHost.exe beside the test executables' folder.
    static std::string HostPath();

private:
    int StartHost(const char* desktop);

    CChildProcess m_explorer;
    CChildProcess m_host;
    CDesktopHostClient m_client;
    std::string m_desktopName;
    std::string m_hostArguments;
};
