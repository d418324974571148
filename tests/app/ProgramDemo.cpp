// ProgramDemo: Dervane.exe on the desktop host, in a Wine virtual desktop of
// a throw-away prefix. Fills the desktop folder with a few sample items and
// the program folder with two backup configurations, stores places for the
// File Shredder and Backup windows beside the sheet, starts the host and the
// program, waits until the program is ready, opens its property sheet with
// the tray menu's "&Properties..." command and prints "ready". Then it reads
// commands from its standard input:
//   page N   shows page N of the sheet, prints "page N at WxH+X+Y" (the
//            sheet's place on the screen, for cutting screenshots)
// When its input closes it ends every process it started.
//
//   ProgramDemo.exe [NAME,WIDTHxHEIGHT]
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/app/ProgramSupport.h"
#include "tests/harness/HostSession.h"
#include "tests/harness/TextLines.h"
#include "tests/harness/TestDesktop.h"
#include "tests/harness/Wait.h"

namespace {

int FillDesktop(CTestDesktop& desktop)
{
    int ok = 1;
    ok &= desktop.AddFile("Read Me.txt", "Sample items of the desktop host.\r\n");
    ok &= desktop.AddFile("Notes.txt", "Drag the icons around.\r\n");
    ok &= desktop.AddFolder("Projects");
    ok &= desktop.AddFile("\u041f\u0440\u0438\u0432\u0435\u0442.txt", "A name in Cyrillic.\r\n");  // Привет.txt
    ok &= desktop.AddShortcut("Notepad", "C:\\windows\\notepad.exe");
    ok &= desktop.AddShortcut("Registry Editor", "C:\\windows\\regedit.exe");
    return ok;
}

// Two backup configurations, so that the Backup page shows a list, and
// three custom tray icons for the Tray page and the notification area.
int FillProgramFolder(const CProgramFolder& folder)
{
    const int trayIcons = folder.WriteFile(
        "TrayIcons.txt",
        "KTX_FILE\tDERVANE TRAY ICONS\nVERSION\t1.0\n"
        "ENTRY_0\tEditors\tC:\\windows\\notepad.exe\t0\nENTRY_0_ITEM_0\t0\t1\tNotepad\tC:\\windows\\notepad.exe\n"
        "ENTRY_0_ITEM_1\t3\nENTRY_0_ITEM_2\t2\t0\tLog Off\t3\nENTRY_0_ITEM_3\t#%#\n"
        // A tip and a menu item in Cyrillic: "Системная папка", "Папка Windows".
        "ENTRY_1\t\u0421\u0438\u0441\u0442\u0435\u043c\u043d\u0430\u044f \u043f\u0430\u043f\u043a\u0430\t"
        "C:\\windows\\regedit.exe\t0\nENTRY_1_ITEM_0\t1\t1\t\u041f\u0430\u043f\u043a\u0430 Windows\tC:\\windows\n"
        "ENTRY_1_ITEM_1\t#%#\n"
        "ENTRY_2\tScreen\t\t-1\nENTRY_2_ITEM_0\t2\t0\tActivate Screensaver\t5\nENTRY_2_ITEM_1\t2\t0\tRemove from "
        "tray\t4\n"
        "ENTRY_2_ITEM_2\t#%#\n");
    return trayIcons &&
        folder.WriteFile("Backup.txt",
                         "KTX_FILE\tDERVANE BACKUP\nVERSION\t1.0\nCUSTOM\t0\nCUSTOM_COMMAND\t\t\n"
                         "POST_COMMAND\t\t\t0\nENTRY_0\tReports\t1\t0\nENTRY_0_SOURCE\tC:\\Projects\\Reports\n"
                         "ENTRY_0_DEST\tC:\\Backup\\Reports\nENTRY_0_TYPE_0\t*.*\nENTRY_0_TYPE_1\t#%#\n"
                         "ENTRY_1\tMail\t1\t0\nENTRY_1_SOURCE\tC:\\Mail\nENTRY_1_DEST\tC:\\Backup\\Mail\n"
                         "ENTRY_1_TYPE_0\t*.eml\nENTRY_1_TYPE_1\t#%#\n");
}

// Starts the program and opens its sheet; answers the sheet or null.
HWND StartProgram(CProgramProcess& program, const CProgramFolder& folder)
{
    if (!program.Start(folder)) {
        std::fprintf(stderr, "ProgramDemo: Dervane.exe did not start\n");
        return nullptr;
    }
    const HWND main = program.WaitMainWindow();
    // Ready: the start-up has stored "First Time" (a fresh prefix has no values).
    if (!main ||
        !WaitFor([] { return ReadProgramBinary("Property General First Time") == std::string(1, '\0'); }, 20000)) {
        std::fprintf(stderr, "ProgramDemo: the program did not become ready\n");
        return nullptr;
    }
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(40001, 0), 0);
    HWND sheet = nullptr;
    WaitFor([&] { return (sheet = program.Sheet()) != nullptr && IsWindowVisible(sheet); }, 10000);
    return sheet;
}

void ServeCommands(HWND sheet)
{
    char line[128] = {};
    while (std::fgets(line, sizeof line, stdin)) {
        int page = 0;
        if (std::sscanf(line, "page %d", &page) == 1 && page >= 0 && page < 16) {
            SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(page), 0);
            RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            RECT box = {};
            GetWindowRect(sheet, &box);
            std::printf("page %d at %ldx%ld+%ld+%ld\n", page, box.right - box.left, box.bottom - box.top, box.left,
                        box.top);
        } else {
            std::printf("unknown command\n");
        }
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::string name = "Dervane";
    int width = 1024;
    int height = 768;
    if (argc > 1 && !ParseDesktopArgument(argv[1], &name, &width, &height)) {
        std::fprintf(stderr, "usage: ProgramDemo [NAME,WIDTHxHEIGHT]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = 1;
    {
        CTestDesktop desktop;
        CHostSession session;
        CProgramFolder folder;
        CProgramProcess program;
        HWND sheet = nullptr;
        ResetProgramRegistry();
        // The File Shredder and Backup windows near the right edge, beside
        // the sheet rather than under it.
        const int32_t shredderPlace[2] = {width - 100, 80};
        WriteProgramBinary("Property Delete Desktop Icon Pos", shredderPlace, sizeof shredderPlace);
        const int32_t backupPlace[2] = {width - 100, 140};
        WriteProgramBinary("Property Backup Desktop Icon Pos", backupPlace, sizeof backupPlace);
        if (!desktop.Open() || !FillDesktop(desktop) || !folder.Create("demo") || !FillProgramFolder(folder)) {
            std::fprintf(stderr, "ProgramDemo: cannot prepare the desktop folder or the program folder\n");
        } else if (!session.StartOnVirtualDesktop(name, width, height)) {
            std::fprintf(stderr, "ProgramDemo: the desktop host did not start\n");
        } else {
            program.SetDesktop(name);
            sheet = StartProgram(program, folder);
        }
        if (sheet) {
            std::printf("ready: Dervane.exe %lu on the desktop host %lu\n", program.Pid(), session.Host().Pid());
            std::fflush(stdout);
            ServeCommands(sheet);
            code = 0;
        }
        // The program's own exit gives the desktop back; the stop is for a
        // program that does not answer.
        program.Command(40002);
        program.WaitExit(10000);
        program.Process().Stop();
        session.Stop();
        desktop.Clear();
        ResetProgramRegistry();
    }
    CoUninitialize();
    return code;
}
