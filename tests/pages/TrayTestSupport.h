// What the custom tray icons' tests share: a recording stand-in for the
// system commands, list files written as the program writes them, Wine's
// notification area counted, a right click's menu read (and an item chosen)
// inside the menu's own loop, and a shell that refuses the first additions.
#pragma once

#include "tray/SystemCommands.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

// The system commands as they were asked for; each answers from its queue
// (then 0, success).
class RecordingSystem : public ISystemCommands {
public:
    DWORD SetPowerState(bool suspend, bool force) override
    {
        return Record("power " + std::to_string(suspend) + " " + std::to_string(force));
    }
    DWORD EndSession(UINT flags) override { return Record("exit " + std::to_string(flags)); }
    DWORD EnableShutdownPrivilege() override { return Record("privilege"); }
    void StartScreenSaver(HWND window) override { Record(window ? "screen saver" : "screen saver, no window"); }
    bool ScreenSaverChosen() override { return screenSaverChosen; }

    bool screenSaverChosen = true;
    std::vector<std::string> calls;
    std::vector<DWORD> answers;

private:
    DWORD Record(const std::string& call);
};

struct TrayFileEntry {
    std::string tip;
    std::string iconFile;
    std::vector<std::string> items;  // the item records' values
};

std::string TrayFile(const std::vector<TrayFileEntry>& entries);
std::string SystemItem(const std::string& label, int command, bool isDefault = false);
std::string ProgramItem(const std::string& label, const std::string& path, bool isDefault = false);

// The icons in Wine's notification area, of every program.
int TrayIconCount();

// What a right click showed.
struct SeenMenu {
    HMENU menu = nullptr;
    std::vector<std::string> items;  // "-" for a separator
    int defaultPosition = -1;
};
// Runs click, which opens a popup menu, and reads the menu once it shows;
// then closes it, or with chooseFirst picks its first item by the keyboard.
SeenMenu ReadPopupMenu(const std::function<void()>& click, bool chooseFirst = false);

// A shell still starting: it refuses the first `refusals` additions (and
// the changes tried after them), then takes them; counts the additions.
struct StartingShell {
    static int refusals;
    static int additions;
    static BOOL CALLBACK Notify(DWORD message, NOTIFYICONDATAW* record);
};
