// CTrayApp: the program's application object. It starts one instance, or
// hands the layout file of its command line to the instance that runs.
#pragma once

#include "framework/Application.h"

#include <mmsystem.h>

#include <atomic>
#include <string>

class CTrayWnd;

class CTrayApp : public CApplication {
public:
    CTrayApp() = default;

    UINT AppMessageId() const { return m_appMessageId; }
    const std::string& ProgramFolder() const { return m_programFolder; }

protected:
    int InitInstance() override;
    void ExitInstance() override;

private:
    void ReadCommandLine();
    // Passes the layout file to a running main window through "msg.dat".
    void HandOff(HWND target) const;
    static void CALLBACK OnHandOffTimer(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

    std::string m_programFolder;
    UINT m_appMessageId = 0;
    std::atomic<UINT> m_handOffTimer{0};
    std::string m_layoutFileName;
    int m_layoutCode = 0;
    CTrayWnd* volatile m_window = nullptr;
};
