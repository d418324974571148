// Opens a picture menu of four items (two pictures of TrayIcons.dll, one of
// them labelled in Cyrillic, a plain item, a grayed one) with the first item highlighted, for a screenshot:
//   tray_menu_shot.exe FOLDER
// "FOLDER\ready" is written once the menu is drawn. The program ends itself
// after 30 seconds.
#include "tray/IconMenu.h"
#include "tray/TrayPictures.h"

#include "framework/Window.h"

#include <cstdio>
#include <string>

namespace {

std::string g_readyFile;

// The menu's own loop dispatches the timer: highlight the first item, then
// say the menu is ready, and close it after 30 seconds.
class ShotOwner : public CWindow {
protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_TIMER) {
            ++m_ticks;
            if (m_ticks == 5) {
                if (HWND popup = FindWindowA("#32768", nullptr))
                    PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
            } else if (m_ticks == 10) {
                if (FILE* f = fopen(g_readyFile.c_str(), "w"))
                    fclose(f);
            } else if (m_ticks == 300) {
                EndMenu();
            }
            return 0;
        }
        return CWindow::WndProc(msg, wp, lp);
    }

private:
    int m_ticks = 0;
};

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder = folder.substr(0, folder.find_last_of('\\'));
    return folder.substr(0, folder.find_last_of('\\'));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: tray_menu_shot FOLDER\n");
        return 2;
    }
    g_readyFile = std::string(argv[1]) + "\\ready";
    const std::string pictures = ProgramFolder() + "\\TrayIcons.dll";

    ShotOwner owner;
    CWindow::CreateArgs args;
    args.className = "DervaneTrayMenuShot";
    args.style = WS_POPUP;
    args.x = args.y = 0;
    args.width = args.height = 1;
    if (!owner.Create(args))
        return 1;
    CIconMenu menu;
    menu.AppendIconItem(0, 350, "Editor", LoadGroupIcon(pictures, 0));
    // A label in Cyrillic, as a user names a folder: drawn as written.
    menu.AppendIconItem(0, 351, "\u0414\u043e\u043a\u0443\u043c\u0435\u043d\u0442\u044b \u0438 \u0444\u043e\u0442\u043e",
                        LoadGroupIcon(pictures, 5));
    menu.AppendSeparator();
    menu.AppendIconItem(0, 352, "Activate Screensaver", ScopedIcon());
    menu.AppendIconItem(MF_GRAYED, 353, "Backup drive", LoadGroupIcon(pictures, 8));
    menu.SetDefaultItemByPosition(0);
    SetTimer(owner.GetHwnd(), 1, 100, nullptr);
    menu.TrackPopup(owner.GetHwnd(), POINT{24, 24}, TPM_LEFTALIGN | TPM_RETURNCMD);
    return 0;
}
