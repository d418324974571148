// Shows one backup editor filled with a sample, for screenshots:
//   backup_dialogs_shot.exe FOLDER [config|advanced]
// "FOLDER\ready" is written once the dialog is drawn. The program ends
// itself after 30 seconds.
#include "backup/AdvancedBackupDlg.h"
#include "backup/BackupConfigDlg.h"
#include "tests/harness/ShotTimers.h"

#include <commctrl.h>

#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string mode = argc > 2 ? argv[2] : "config";
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    StartShotTimers(argv[1]);
    if (mode == "advanced") {
        BackupCommands commands;
        commands.postProgram = "C:\\Tools\\Archiver\\pack.exe";
        commands.postArguments = "%ISDROPFOLDER(-r) a \"%TARGETPATH%NAME.zip\" \"%DROPTARGETPATH\"";
        commands.removeCopies = 1;
        CAdvancedBackupDlg dialog(nullptr, commands);
        dialog.Run();
        return 0;
    }
    BackupConfig config;
    config.source = "C:\\Documents\\Letters";
    config.target = "D:\\Backup\\Letters";
    config.name = "Letters";
    config.fileTypes = {"*.doc", "*.txt", "*.rtf"};
    CBackupConfigDlg dialog(nullptr, config);
    dialog.Run();
    return 0;
}
