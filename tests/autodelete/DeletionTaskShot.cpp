// The task editor on a task of some age, for a screenshot:
// deletion_task_shot.exe FOLDER. "FOLDER\ready" is written once it shows.
#include "autodelete/DeletionTaskDlg.h"
#include "tests/harness/ShotTimers.h"

#include <commctrl.h>

#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    DeletionTask task;
    task.folder = std::string(argv[1]) + "\\Downloads";
    task.includeSubfolders = 1;
    task.deleteEmptySubfolders = 1;
    task.olderThanDays = 30;
    task.fileTypes = {"*.tmp", "*.zip", "~*.*"};
    StartShotTimers(argv[1]);
    CDeletionTaskDlg dialog(nullptr, task, argv[1]);
    dialog.Run();
    return 0;
}
