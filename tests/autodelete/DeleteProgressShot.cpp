// The File Shredder's "Deleting Files..." dialog, for a screenshot:
// delete_progress_shot.exe FOLDER [failures|working]. "failures": after a drop
// that leaves failures (a file held open, a dropped path that is gone), listed
// with their reasons; "working": held while it works. "FOLDER\ready" is
// written once it shows.
#include "autodelete/DeleteProgressDlg.h"
#include "tests/files/ProgressShot.h"
#include "tests/harness/ShotTimers.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

void Make(const std::string& path)
{
    HANDLE file = CreateFileW((L"\\\\?\\" + std::wstring(path.begin(), path.end())).c_str(), GENERIC_WRITE, 0,
                              nullptr, CREATE_NEW, 0, nullptr);
    CloseHandle(file);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const std::string folder = std::string(argv[1]) + "\\Old reports";
    CreateDirectoryA(folder.c_str(), nullptr);
    Make(folder + "\\summary 2025.xlsx");
    Make(folder + "\\thesis.doc.");
    Make(folder + "\\open.txt");
    HANDLE held = CreateFileA((folder + "\\open.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    StartShotTimers(argv[1]);
    const std::vector<std::string> paths{folder, std::string(argv[1]) + "\\gone.txt"};
    if (argc > 2 && std::string(argv[2]) == "working") {
        CHeldProgressDlg<CDeleteProgressDlg> dialog(nullptr, paths);
        dialog.status = folder + "\\summary 2025.xlsx";
        dialog.Run();
    } else {
        CDeleteProgressDlg dialog(nullptr, paths);
        dialog.Run();
    }
    CloseHandle(held);
    return 0;
}
