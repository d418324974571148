// Shows the tray icons' menu editor with items of every kind, for
// screenshots:
//   tray_menu_dlg_shot.exe FOLDER [program|command|separator]
// with the program item, a system command or the separator selected.
// "FOLDER\ready" is written once the dialog is drawn (tests/harness/shots.sh).
#include "tests/harness/ShotTimers.h"
#include "tray/TrayMenuDlg.h"
#include "tray/TrayMenuResource.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

int g_line = 0;

// Selects the line as a click does, once the dialog's own loop runs.
void CALLBACK SelectLine(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dialog = FindWindowA(nullptr, "Tray Menu");
    if (!dialog)
        return;
    KillTimer(nullptr, id);
    SendDlgItemMessageA(dialog, IDC_TRAYMENU_ITEMS, LB_SETCURSEL, static_cast<WPARAM>(g_line), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TRAYMENU_ITEMS, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_TRAYMENU_ITEMS)));
}

TrayMenuItem Item(TrayItemKind kind, const char* label, const char* path, bool isDefault = false)
{
    TrayMenuItem item;
    item.kind = kind;
    item.label = label;
    item.path = path;
    item.isDefault = isDefault;
    return item;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const std::string mode = argc > 2 ? argv[2] : "program";
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    StartShotTimers(argv[1]);
    std::vector<TrayMenuItem> items = {
        Item(kTrayItemProgram, "Notepad", "C:\\windows\\notepad.exe", true),
        Item(kTrayItemProgram, "The accounts department's yearly report, second draft", "C:\\windows\\win.ini"),
        Item(kTrayItemFolder, "Windows", "C:\\windows"),
        Item(kTrayItemSeparator, "", ""),
        Item(kTrayItemSystemCommand, "Shut Down", ""),
        Item(kTrayItemSystemCommand, "Remove from tray", ""),
    };
    items[4].command = kTrayShutDown;
    items[5].command = kTrayRemoveFromTray;
    g_line = mode == "command" ? 4 : mode == "separator" ? 3 : 0;
    SetTimer(nullptr, 0, 200, &SelectLine);
    CTrayMenuDlg dialog(nullptr, items);
    dialog.Run();
    return 0;
}
