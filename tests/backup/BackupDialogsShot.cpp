// Shows one backup editor filled with a sample, for screenshots:
//   backup_dialogs_shot.exe FOLDER [config|advanced|shortname]
// "shortname": the editor with a target named through the short name of its
// source (a folder made in FOLDER), OK pressed, the refusal showing.
// "FOLDER\ready" is written once the dialog is drawn. The program ends
// itself after 30 seconds.
#include "backup/AdvancedBackupDlg.h"
#include "backup/BackupConfigDlg.h"
#include "tests/harness/ShotTimers.h"

#include <commctrl.h>

#include <string>

namespace {

void CALLBACK PressOk(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (HWND dialog = FindWindowA(nullptr, "Edit Backup Configuration"))
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

}  // namespace

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
    if (mode == "shortname") {
        config.source = std::string(argv[1]) + "\\Documents and Letters";
        CreateDirectoryA(config.source.c_str(), nullptr);
        char shortForm[MAX_PATH] = "";
        GetShortPathNameA(config.source.c_str(), shortForm, sizeof shortForm);
        config.target = std::string(shortForm) + "\\Copies";
        SetTimer(nullptr, 0, 300, &PressOk);
    }
    config.name = "Letters";
    config.fileTypes = {"*.doc", "*.txt", "*.rtf"};
    CBackupConfigDlg dialog(nullptr, config);
    dialog.Run();
    return 0;
}
