#include "tests/harness/HostSession.h"

#include <cstdio>

#include "tests/harness/Wait.h"

namespace {
bool DesktopExists(const std::string& name) {
  HDESK desktop = OpenDesktopA(name.c_str(), 0, FALSE, DESKTOP_READOBJECTS);
  if (!desktop) return false;
  CloseDesktop(desktop);
  return true;
}
}  // namespace

std::string CHostSession::HostPath() {
  std::string folder = CChildProcess::ModuleFolder();
  std::string beside = folder + "DesktopHost.exe";
  if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES) return beside;
  return folder + "..\\DesktopHost.exe";
}

int CHostSession::StartHost(const char* desktop) {
  std::string command = "\"" + HostPath() + "\"";
  if (!m_host.Start(command, desktop)) return 0;
  m_client = CDesktopHostClient();
  if (!m_client.Connect(m_host.Pid(), kStartTimeoutMs) || !m_client.WaitReady(kStartTimeoutMs)) {
    std::fprintf(stderr, "harness: the desktop host did not come up\n");
    Stop();
    return 0;
  }
  return 1;
}

int CHostSession::Start() {
  Stop();
  return StartHost(nullptr);
}

int CHostSession::StartOnVirtualDesktop(const std::string& name, int width, int height) {
  Stop();
  char command[160] = {};
  std::snprintf(command, sizeof(command), "explorer.exe /desktop=%s,%dx%d", name.c_str(), width, height);
  if (!m_explorer.Start(command)) return 0;
  if (!WaitFor([&] { return DesktopExists(name); }, kStartTimeoutMs)) {
    std::fprintf(stderr, "harness: virtual desktop %s did not appear\n", name.c_str());
    Stop();
    return 0;
  }
  m_desktopName = name;
  return StartHost(m_desktopName.c_str());
}

long CHostSession::RunOnDesktop(const std::string& commandLine, DWORD timeoutMs) {
  CChildProcess helper;
  if (!helper.Start(commandLine, m_desktopName.empty() ? nullptr : m_desktopName.c_str())) return -1;
  return helper.WaitExit(timeoutMs);
}

void CHostSession::Stop() {
  m_client = CDesktopHostClient();
  m_host.Stop();
  m_explorer.Stop();
  m_desktopName.clear();
}
