// What the hook library's integration tests share: a program folder of
// their own, a window standing in for the program's main window, and the
// error log's lines.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "hook/HookProtocol.h"

// A fresh folder named after the running test, beside the test executables.
std::string MakeProgramFolder(const char* suffix = "");

// Lines of the folder's "ErrorLog.txt" (empty if there is none).
std::vector<std::string> ReadErrorLog(const std::string& folder);

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
    // Handles whatever messages wait for this thread.
    static void Pump();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HWND m_hwnd = nullptr;
    std::vector<std::pair<int, std::string>> m_notifications;
};

// Attaches with hwnd and folder and waits until the library is ready.
bool AttachAndWait(HWND hwnd, const std::string& folder, DWORD timeoutMs = 10000);
