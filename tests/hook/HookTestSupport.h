// What the hook library's integration tests share: a program folder of
// their own, a window standing in for the program's main window, the error
// log's lines, and a fixture that runs the desktop host with the library
// attached to it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hook/HookProtocol.h"
#include "tests/harness/HostSession.h"
#include "tests/harness/TestDesktop.h"
#include "tests/harness/TextLines.h"

// A fresh folder named after the running test, beside the test executables.
std::string MakeProgramFolder(const char* suffix = "");

// Lines of the folder's "ErrorLog.txt" (empty if there is none).
std::vector<std::string> ReadErrorLog(const std::string& folder);
// How many lines hold text.
int CountLines(const std::vector<std::string>& lines, const std::string& text);
// How many lines are exactly this entry ("WARNING: ...") after their timestamp.
int CountEntries(const std::vector<std::string>& lines, const std::string& entry);

// A file made of bytes (ReadFileBytes, in the harness, reads one).
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// A hidden window that records the hook library's notifications.
class CProgramWindow {
public:
    CProgramWindow();
    ~CProgramWindow();
    CProgramWindow(const CProgramWindow&) = delete;
    CProgramWindow& operator=(const CProgramWindow&) = delete;

    HWND Handle() const { return m_hwnd; }
    // Notifications received so far (code and payload text), oldest first.
    const std::vector<std::pair<int, std::string>>& Notifications() const { return m_notifications; }
    void Forget() { m_notifications.clear(); }
    // Display changes the icons were placed for (HOOKNOTICE_DISPLAY_FOLLOWED).
    int DisplayFollowed() const { return m_displayFollowed; }
    // Handles whatever messages wait for this thread.
    static void Pump();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND m_hwnd = nullptr;
    std::vector<std::pair<int, std::string>> m_notifications;
    int m_displayFollowed = 0;
};

// Attaches with hwnd and folder and waits until the library is ready.
bool AttachAndWait(HWND hwnd, const std::string& folder, DWORD timeoutMs = 10000);

// Settings as the program sends them: features on, white labels on a
// transparent background, large icons, every other option off.
SettingsBlock DefaultSettings();

// A top-level window with a title, standing in for one of the program's
// desktop windows ("Dervane Delete Icon", "Dervane Backup Icon").
class CTitledWindow {
public:
    CTitledWindow(const char* title, int x, int y);
    ~CTitledWindow();
    CTitledWindow(const CTitledWindow&) = delete;
    CTitledWindow& operator=(const CTitledWindow&) = delete;
    POINT Position() const;

private:
    HWND m_hwnd = nullptr;
};

// The desktop host with the hook library attached to it from this process.
class CHookedDesktopTest : public ::testing::Test {
protected:
    using Item = CDesktopHostClient::ItemRecord;
    using View = CDesktopHostClient::ViewRecord;

    void SetUp() override;
    void TearDown() override;

    // Starts the host and attaches; answers whether the library became ready.
    bool StartAndAttach();
    CDesktopHostClient& Host() { return m_session.Client(); }

    // Sends one request through HOOK_SendMessage and answers its result.
    unsigned long Send(int code, const std::string& text = std::string());
    unsigned long SendSettings(const SettingsBlock& settings);

    View ReadView();
    // The first item with label; a failed expectation when there is none.
    Item ItemNamed(const std::string& label);
    bool HasItem(const std::string& label);
    // Moves the first item with label, from inside the host.
    void MoveItem(const std::string& label, int x, int y);
    // Handles the program window's messages until the library has placed the
    // icons after count display changes in all.
    bool WaitDisplayFollowed(int count, DWORD timeoutMs = 15000);
    // Waits until the host shows (or no longer shows) an item with label.
    bool WaitForItem(const std::string& label, bool present = true);

    std::string PositionsFile(const std::string& name) const { return m_folder + "\\Positions\\" + name; }
    std::string ShortcutsFile(const std::string& name) const { return m_folder + "\\Shortcuts\\" + name; }
    // Writes a layout file from its records, "KEY\tVALUE" each, CR LF ended.
    bool WriteLayout(const std::string& path, const std::vector<std::string>& records);
    // Writes "IconHide.txt" with these rules (pattern, kind).
    bool WriteHideRules(const std::vector<std::pair<std::string, int>>& rules);

    CTestDesktop m_desktop;
    CHostSession m_session;
    CProgramWindow m_program;
    std::string m_folder;
};
