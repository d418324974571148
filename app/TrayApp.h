// CTrayApp: the program's application object. It starts one instance, or
// hands the layout file of its command line to the instance that runs, or
// (started with "/exit") asks the instance that runs to end, or (with
// "/save NAME" or "/load NAME") has it save or load a positions layout.
#pragma once

#include "app/HandOff.h"
#include "framework/Application.h"

#include <mmsystem.h>

#include <atomic>
#include <string>

class CTrayWnd;

class CTrayApp : public CApplication {
public:
    CTrayApp() = default;

    // Whether the arguments are the exit switch "/exit" (any case).
    static bool IsExitSwitch(const std::string& arguments);
    // Asks the running instance to end through its own Exit, the tray menu's,
    // which puts the desktop's layout back and lets the hook library go, and
    // waits for its process to end. Answers 0 when none runs any more, 1 when
    // one still runs after timeoutMs (the installer then deletes nothing).
    static int EndRunningInstance(DWORD timeoutMs);

    // "/save NAME" or "/load NAME": hands the request to the running
    // instance and waits for its answer, at most timeoutMs. Answers the exit
    // code (kCommandDone, kCommandFailed, kCommandNoInstance).
    static int RunLayoutCommand(const LayoutCommand& command, DWORD timeoutMs);

    UINT AppMessageId() const { return m_appMessageId; }
    const std::string& ProgramFolder() const { return m_programFolder; }

protected:
    int InitInstance() override;
    void ExitInstance() override;

private:
    void ReadCommandLine();
    // Passes the layout file to a running main window through "msg.dat",
    // once no other start is handing something over (waiting lockTimeoutMs
    // for that), and answers its answer (a HandOffAnswer).
    long HandOff(HWND target, DWORD lockTimeoutMs, DWORD timeoutMs) const;
    static void CALLBACK OnHandOffTimer(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

    std::string m_programFolder;
    UINT m_appMessageId = 0;
    std::atomic<UINT> m_handOffTimer{0};
    std::string m_layoutFileName;
    int m_layoutCode = 0;
    CTrayWnd* volatile m_window = nullptr;
};
