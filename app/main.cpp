// The program's entry: the application's start sequence and message loop,
// inside the guard that writes the crash report.
#include <windows.h>

#include <string>

#include "app/TrayApp.h"
#include "common/CrashReport.h"
#include "common/Log.h"
#include "framework/ErrorReport.h"

namespace {

// Long enough for a teardown that first closes an open dialog and puts the
// desktop's layout back.
constexpr DWORD kEndInstanceTimeoutMs = 20000;
// A save or load of a large layout, behind a running instance that is still
// starting or busy with the desktop.
constexpr DWORD kLayoutCommandTimeoutMs = 60000;

int RunApplication(void* context)
{
    return static_cast<CTrayApp*>(context)->Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // "Dervane.exe /exit" (the uninstaller's way, and a user's) ends the
    // running instance and nothing else: no window, no log, no registry.
    const std::string arguments = CApplication::ArgumentsOf(GetCommandLineA());
    if (CTrayApp::IsExitSwitch(arguments))
        return CTrayApp::EndRunningInstance(kEndInstanceTimeoutMs);
    // "/?", "/save NAME" and "/load NAME" start nothing either.
    const LayoutCommand command = ParseLayoutCommand(arguments);
    if (command.kind == CommandKind::kHelp) {
        MessageBoxA(nullptr, kCommandLineHelp, "Dervane", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (command.kind != CommandKind::kNone)
        return CTrayApp::RunLayoutCommand(command, kLayoutCommandTimeoutMs);
    SetErrorReporter([](const char* text) { LogWarning(text); });
    CTrayApp app;
    return RunGuarded(RunApplication, &app, "Main Thread");
}
