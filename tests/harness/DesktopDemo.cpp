// DesktopDemo: fills the desktop folder of a throw-away Wine prefix with a
// few sample items and shows them in the desktop host, on a Wine virtual
// desktop of the given size. Prints "ready" once the host shows them, then
// keeps everything running until its standard input closes; then it ends
// every process it started.
//
//   DesktopDemo.exe [NAME,WIDTHxHEIGHT]
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/harness/HostSession.h"
#include "tests/harness/TextLines.h"
#include "tests/harness/TestDesktop.h"

namespace {
int FillDesktop(CTestDesktop& desktop)
{
    int ok = 1;
    ok &= desktop.AddFile("Read Me.txt", "Sample items of the desktop host.\r\n");
    ok &= desktop.AddFile("Notes.txt", "Drag the icons around.\r\n");
    ok &= desktop.AddFolder("Projects");
    ok &= desktop.AddShortcut("Notepad", "C:\\windows\\notepad.exe");
    ok &= desktop.AddShortcut("Registry Editor", "C:\\windows\\regedit.exe");
    ok &= desktop.AddShortcut("Wine Configuration", "C:\\windows\\system32\\winecfg.exe");
    return ok;
}

// Reads standard input until it ends (or fails).
void WaitForInputToClose()
{
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[64];
    DWORD read = 0;
    while (input && input != INVALID_HANDLE_VALUE && ReadFile(input, buffer, sizeof(buffer), &read, nullptr) &&
           read > 0) {
    }
}
}  // namespace

int main(int argc, char** argv)
{
    std::string name = "Dervane";
    int width = 1024;
    int height = 768;
    if (argc > 1 && !ParseDesktopArgument(argv[1], &name, &width, &height)) {
        std::fprintf(stderr, "usage: DesktopDemo [NAME,WIDTHxHEIGHT]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = 1;
    {
        CTestDesktop desktop;
        CHostSession session;
        if (!desktop.Open() || !FillDesktop(desktop)) {
            std::fprintf(stderr, "DesktopDemo: cannot fill the desktop folder\n");
        } else if (!session.StartOnVirtualDesktop(name, width, height)) {
            std::fprintf(stderr, "DesktopDemo: the desktop host did not start\n");
        } else {
            CDesktopHostClient::ItemRecord item = {};
            if (session.Client().FindItem("Read Me.txt", item))
                session.Client().Select(item.index, true);
            CDesktopHostClient::ViewRecord view = {};
            session.Client().View(view);
            std::printf("ready: %d items on a %dx%d desktop\n", view.itemCount, view.screenWidth, view.screenHeight);
            std::fflush(stdout);
            WaitForInputToClose();
            code = 0;
        }
        session.Stop();
        desktop.Clear();
    }
    CoUninitialize();
    return code;
}
