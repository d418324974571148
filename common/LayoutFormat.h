// The icon layout files as both the program and the hook library know them:
// keyed text files ending in ".dvl", positions layouts in the program
// folder's "Positions" folder and shortcuts layouts in its "Shortcuts"
// folder, told apart by their titles. Window-free.
#pragma once

#include <string>

class CKeyedTextFile;

// The kind of a layout, as the Icons page's list type and the hook library's
// requests number it.
enum LayoutType : int { kPositionsLayout = 0, kShortcutsLayout = 1 };

// What a layout file is, as the desktop shortcut that opens it shows: the
// index of the program file's icon for it.
enum LayoutState : int {
    kLayoutUnreadable = 0,  // missing, unreadable or of another kind: the program's own icon
    kShortcutsOnDesktop = 1,  // a shortcuts layout whose shortcuts are on the desktop
    kShortcutsOffDesktop = 2,  // a shortcuts layout whose shortcuts are not
    kPositionsLayoutState = 3,  // a positions layout
};

// The extension every layout file carries.
extern const char kLayoutExtension[];
// The title of the layout saved at start and restored at exit, and its file.
extern const char kOriginalLayout[];
extern const char kOriginalLayoutFile[];
// The "KTX_FILE" records of the two kinds.
extern const char kPositionsLayoutTitle[];
extern const char kShortcutsLayoutTitle[];
// The record of a shortcuts layout that tells whether its shortcuts are on
// the desktop ("1") or not ("0").
extern const char kLoadedRecord[];

// "Positions" or "Shortcuts".
const char* LayoutFolderName(int type);
// programFolder\Positions (or Shortcuts).
std::string LayoutFolderPath(const std::string& programFolder, int type);
// programFolder\Positions\fileName (or Shortcuts); empty when fileName is not
// a plain file name (see IsPlainFileName), so that no layout name reaches
// outside its folder or opens a device.
std::string LayoutFilePath(const std::string& programFolder, int type, const std::string& fileName);
// "%dx%d.dvl": the layout of a screen size.
std::string ScreenLayoutFileName(int width, int height);
// The title "[original]" and its file "[original].dvl", in any capitals.
bool IsOriginalLayoutTitle(const std::string& title);
bool IsOriginalLayoutFile(const std::string& fileName);

// The value of a shortcuts layout's "LOADED" record, read as an integer, into
// *loaded; false when the file has no such record.
bool ReadLoadedRecord(CKeyedTextFile& file, int* loaded);
