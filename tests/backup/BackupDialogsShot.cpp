// Shows one backup editor filled with a sample, or the progress dialog, for
// screenshots:
//   backup_dialogs_shot.exe FOLDER [config|advanced|shortname|progress|working]
// "shortname": the editor with a target named through the short name of its
// source (a folder made in FOLDER), OK pressed, the refusal showing.
// "progress": a backup of a folder whose file is held open, its failure
// listed; "working": the progress dialog held while it works.
// "FOLDER\ready" is written once the dialog is drawn. The program ends
// itself after 30 seconds.
#include "backup/AdvancedBackupDlg.h"
#include "backup/BackupConfigDlg.h"
#include "backup/BackupProgressDlg.h"
#include "framework/ScopedHandles.h"
#include "tests/files/ProgressShot.h"
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

// The progress dialog over a backup of FOLDER\Letters, whose one file is
// held open, or held in its work.
void ShowProgress(const std::string& folder, bool working)
{
    BackupConfig config;
    config.source = folder + "\\Letters";
    config.target = folder + "\\Backup of the letters";
    config.fileTypes = {"*.*"};
    CreateDirectoryA(config.source.c_str(), nullptr);
    const std::string file = config.source + "\\To the council, March 2026.doc";
    ScopedHandle written(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    written.Reset();
    ScopedHandle held(CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const std::vector<BackupConfig> configs{config};
    const BackupCommands commands;
    if (working) {
        CHeldProgressDlg<CBackupProgressDlg> dialog(nullptr, configs, commands, std::vector<std::string>{config.source},
                                                    nullptr);
        dialog.status = "Backing up To the council, March 2026.doc";
        dialog.Run();
        return;
    }
    CBackupProgressDlg dialog(nullptr, configs, commands, std::vector<std::string>{config.source}, nullptr);
    dialog.Run();
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
    if (mode == "progress" || mode == "working") {
        ShowProgress(argv[1], mode == "working");
        return 0;
    }
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
