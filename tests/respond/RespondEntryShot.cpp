// Shows the auto-respond rule editor filled with a sample, for screenshots:
//   respond_entry_shot.exe FOLDER [button|sound]
// "FOLDER\ready" is written once the dialog is drawn (tests/harness/shots.sh).
#include "respond/RespondEntryDlg.h"
#include "tests/harness/ShotTimers.h"

#include <commctrl.h>

#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string mode = argc > 2 ? argv[2] : "button";
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    StartShotTimers(argv[1]);
    RespondEntry rule;
    rule.windowTitle = "Confirm Save As";
    rule.windowText = "already exists";
    rule.oncePerWindow = true;
    RespondAction push;
    push.kind = kActionPushButton;
    push.label = "Yes";
    push.delay = 500;
    RespondAction sound;
    sound.kind = kActionPlaySound;
    sound.label = "C:\\Windows\\Media\\ding.wav";
    sound.delay = 0;
    if (mode == "sound")
        rule.actions = {sound, push};
    else
        rule.actions = {push, sound};
    // The ready-made rules as the program folder has them, beside the tests' folder.
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string common = exe;
    common = common.substr(0, common.find_last_of('\\')) + "\\..\\RespondCommon.txt";
    CRespondEntryDlg dialog(nullptr, rule, common);
    dialog.Run();
    return 0;
}
