// The program's entry: the application's start sequence and message loop,
// inside the guard that writes the crash report.
#include <windows.h>

#include "app/TrayApp.h"
#include "common/CrashReport.h"
#include "common/Log.h"
#include "framework/ErrorReport.h"

namespace {

// Long enough for a teardown that first closes an open dialog and puts the
// desktop's layout back.
constexpr DWORD kEndInstanceTimeoutMs = 20000;

int RunApplication(void* context)
{
    return static_cast<CTrayApp*>(context)->Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // "Dervane.exe /exit" (the uninstaller's way, and a user's) ends the
    // running instance and nothing else: no window, no log, no registry.
    if (CTrayApp::IsExitSwitch(CApplication::ArgumentsOf(GetCommandLineA())))
        return CTrayApp::EndRunningInstance(kEndInstanceTimeoutMs);
    SetErrorReporter([](const char* text) { LogWarning(text); });
    CTrayApp app;
    return RunGuarded(RunApplication, &app, "Main Thread");
}
