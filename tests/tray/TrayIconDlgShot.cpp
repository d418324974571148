// Shows the tray icon picker on the program's TrayIcons.dll with its fifth
// picture chosen, for screenshots:
//   tray_icon_shot.exe FOLDER
// "FOLDER\ready" is written once the dialog is drawn (tests/harness/shots.sh).
#include "tests/harness/ShotTimers.h"
#include "tray/TrayIconDlg.h"

#include <commctrl.h>

#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    StartShotTimers(argv[1]);
    // The program folder holds the tests' folder.
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string folder = exe;
    folder = folder.substr(0, folder.find_last_of('\\'));
    folder = folder.substr(0, folder.find_last_of('\\'));
    TrayIconChoice choice;
    choice.kind = kIconSourceGroup;
    choice.index = 4;
    CTrayIconDlg dialog(nullptr, choice, folder + "\\TrayIcons.dll");
    dialog.Run();
    return 0;
}
