// Shows one backup editor filled with a sample, for screenshots:
//   backup_dialogs_shot.exe FOLDER [config|advanced]
// "FOLDER\ready" is written once the dialog is drawn. The program ends
// itself after 30 seconds.
#include "backup/AdvancedBackupDlg.h"
#include "backup/BackupConfigDlg.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

std::string g_readyFile;

void CALLBACK MarkReady(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (FILE* f = fopen(g_readyFile.c_str(), "w"))
        fclose(f);
}

void CALLBACK EndShot(HWND, UINT, UINT_PTR, DWORD)
{
    ExitProcess(0);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    g_readyFile = std::string(argv[1]) + "\\ready";
    const std::string mode = argc > 2 ? argv[2] : "config";
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    SetTimer(nullptr, 0, 1500, &MarkReady);
    SetTimer(nullptr, 0, 30000, &EndShot);
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
