// The custom tray icons in memory: one TrayIconEntry per icon in the
// notification area, each with the items of its popup menu. Window-free: the
// fields the program fills while an icon is shown (its picture and its
// menu) hang on `shown`, which only the Windows build makes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// How an entry's picture was found.
enum IconSourceKind : int32_t {
    kIconSourceNone = 0,
    kIconSourceFile = 1,  // iconFile is an icon file (.ico)
    kIconSourceGroup = 2,  // icon group iconIndex of the program or library iconFile
};

enum TrayItemKind : int32_t {
    kTrayItemProgram = 0,  // a program, document or shell link
    kTrayItemFolder = 1,
    kTrayItemSystemCommand = 2,
    kTrayItemSeparator = 3,
};

enum TraySystemCommand : int32_t {
    kTrayStandBy = 0,
    kTrayShutDown = 1,
    kTrayRestart = 2,
    kTrayLogOff = 3,
    kTrayRemoveFromTray = 4,
    kTrayScreenSaver = 5,
    kTrayToggleHideIcons = 6,
    kTraySystemCommandCount = 7,
};

// The notification area shows this many characters of a tip, a menu this
// many of a label.
constexpr size_t kTrayTipChars = 63;
constexpr size_t kTrayLabelChars = 31;

struct TrayMenuItem {
    // Kept in TrayIcons.txt.
    TrayItemKind kind = kTrayItemProgram;
    std::string label;  // not for separators
    std::string path;  // kinds program and folder
    TraySystemCommand command = kTrayStandBy;  // kind system command
    bool isDefault = false;  // not for separators; at most one item of a menu
    // Filled when the menu is built.
    uint32_t commandId = 0;
    std::string target;  // what is opened: a shell link's target, or path
    std::string arguments;  // from a shell link
    std::string workingFolder;  // from a shell link
    int32_t showCommand = 1;  // from a shell link, else SW_SHOWNORMAL
};

// The picture and the menu of an entry while the program runs (Windows only).
struct TrayEntryRunTime;

struct TrayIconEntry {
    // Kept in TrayIcons.txt.
    std::string tipText;
    std::string iconFile;  // an icon file, or a program or library with icon groups
    int32_t iconIndex = -1;  // icon group counted from 0; -1 none chosen
    std::vector<TrayMenuItem> items;
    // Filled while the program runs.
    IconSourceKind iconKind = kIconSourceNone;
    uint32_t iconId = 0;  // in the notification area while shown; 0 when not shown
    std::shared_ptr<TrayEntryRunTime> runTime;  // none until the picture is looked up
};

// The system command's text in the editor's list and the label proposed for
// a new item of it; nullptr for a code outside the table.
const char* SystemCommandListText(int command);
const char* SystemCommandLabel(int command);
// The text of a ShellExecute result of 32 or less ("File not found" for 2,
// "Unknown error" for a code outside the table).
const char* ShellExecuteErrorText(int code);
// text cut on a character boundary to at most chars characters, counted as
// the system counts them (UTF-16 units).
std::string CutText(const std::string& text, size_t chars);
