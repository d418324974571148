// What the program's integration tests share: a program folder of their own
// with copies of the deliverables, a clean registry, the running Dervane.exe
// and what can be seen of it from outside (its windows, its tray icon, its
// registry values and files).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/harness/ChildProcess.h"

// A fresh folder "program.NAME" beside the test executables, holding
// Dervane.exe, DervaneHook.dll and (unless told otherwise) Resources.dll:
// the project's own when the build made one, else the test stand-in.
class CProgramFolder {
public:
    int Create(const std::string& name, bool withResources = true);
    // Uses a folder that is already there (an installed program's) as it is.
    void Adopt(const std::string& path) { m_path = path; }
    const std::string& Path() const { return m_path; }
    std::string PathOf(const std::string& name) const { return m_path + "\\" + name; }
    std::string ExePath() const { return PathOf("Dervane.exe"); }

    // Lines of the folder's "ErrorLog.txt" (empty if there is none).
    std::vector<std::string> ErrorLog() const;
    // How many error log lines contain text.
    int CountLogLines(const std::string& text) const;
    bool Exists(const std::string& name) const;
    // Writes name (relative to the folder; subfolders are made) with content.
    int WriteFile(const std::string& name, const std::string& content) const;
    std::string ReadFile(const std::string& name) const;

private:
    std::string m_path;
};

// The window when it is shown (a window made hidden and placed before it is
// shown is not there yet for the user), else nullptr.
inline HWND Shown(HWND window)
{
    return window && IsWindowVisible(window) ? window : nullptr;
}

// Removes every registry trace of the program: its key under the current
// user and the machine, both Run values and both ".dvl" associations.
void ResetProgramRegistry();

// Registry values as the program leaves them; "(missing)" when there is none.
extern const char kMissingValue[];
std::string ReadProgramText(const char* name);
// The bytes of a binary value of the program key, or kMissingValue.
std::string ReadProgramBinary(const char* name);
int WriteProgramBinary(const char* name, const void* data, DWORD size);
// The start-with-Windows value "Dervane", from whichever Run key holds it.
std::string ReadRunValue();
// The default value of ".dvl\shell\open\command", from whichever classes key holds it.
std::string ReadAssociationCommand();

// One run of Dervane.exe, started in its folder (which is also its current
// folder unless told otherwise) and ended by its id when the object goes.
class CProgramProcess {
public:
    static constexpr DWORD kStartTimeoutMs = 20000;

    // Runs it on the named desktop (a Wine virtual desktop) instead of this
    // process's one; its windows are then looked for there.
    void SetDesktop(const std::string& desktop) { m_desktop = desktop; }
    // arguments go after the quoted program path, as the shell passes them.
    int Start(const CProgramFolder& folder, const std::string& arguments = std::string(),
              const char* workingFolder = nullptr);
    CChildProcess& Process() { return m_process; }
    DWORD Pid() const { return m_process.Pid(); }
    bool Running() const { return m_process.Running(); }
    long WaitExit(DWORD timeoutMs) const { return m_process.WaitExit(timeoutMs); }

    // The process's top-level window of this class (and, if given, caption); null if none.
    HWND FindWindowOf(const char* className, const char* caption = nullptr) const;
    // Waits for the main window "CTrayWnd".
    HWND WaitMainWindow(DWORD timeoutMs = kStartTimeoutMs) const;
    // The property sheet, found by its caption as a second start finds it.
    HWND Sheet() const;
    bool SheetVisible() const;
    // Sends WM_COMMAND id to the main window; answers whether it was delivered.
    bool Command(UINT id) const;

private:
    CChildProcess m_process;
    std::string m_desktop;
};

// The top-level window of process pid with this class and, if given,
// caption, on the named desktop (this process's one when null or empty).
HWND FindProcessWindow(DWORD pid, const char* className, const char* caption = nullptr,
                       const char* desktopName = nullptr);

// Whether the notification area holds the icon (window, id): a NIM_MODIFY
// that changes nothing succeeds only for an icon that exists.
bool TrayIconExists(HWND window, UINT id = 101);
// Takes the icon out of the notification area, as a restarting shell loses it.
bool RemoveTrayIcon(HWND window, UINT id = 101);
// The icon windows of Wine's own notification area window
// ("__winex11_standalone_tray"); -1 when that window does not exist.
int TrayWindowIconCount();

// Wine's notification area drops the icons of windows that are gone by
// itself, up to two seconds later. So whether the program removed its icon
// shows only right after its window went: this waits for that moment
// without pausing between checks, and answers whether it came.
bool WaitWindowGone(HWND window, DWORD timeoutMs = 15000);

// The content of a shortcuts layout holding no items, in state loaded.
std::string EmptyShortcutsLayout(const char* loaded = "1");
// The value of the layout's "LOADED" record, or "" when there is none.
std::string LoadedState(const std::string& layoutText);

// Files and drops for the tests that delete and back up.
bool PathExists(const std::string& path);
// Creates (or empties) the file.
bool MakeEmptyFile(const std::string& path);
// Posts a drop of paths to window of process pid: the DROPFILES block is
// written into the target, where the address means something.
bool DropOn(DWORD pid, HWND window, const std::vector<std::string>& paths);
