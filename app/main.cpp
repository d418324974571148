// The program's entry: the application's start sequence and message loop,
// inside the guard that writes the crash report.
#include <windows.h>

#include "app/TrayApp.h"
#include "common/CrashReport.h"
#include "common/Log.h"
#include "framework/ErrorReport.h"

namespace {

int RunApplication(void* context)
{
    return static_cast<CTrayApp*>(context)->Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SetErrorReporter([](const char* text) { LogWarning(text); });
    CTrayApp app;
    return RunGuarded(RunApplication, &app, "Main Thread");
}
