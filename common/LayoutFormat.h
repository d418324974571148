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

// The "KTX_FILE" records of the two kinds, and the one of a kind.
constexpr char kPositionsLayoutTitle[] = "DERVANE ICON POSITIONS";
constexpr char kShortcutsLayoutTitle[] = "DERVANE ICON SHORTCUTS";
const char* LayoutFileTitle(int type);

// The record of a shortcuts layout that tells whether its shortcuts are on
// the desktop ("1") or not ("0"), and its value read as an integer into
// *loaded; false when the file has no such record.
constexpr char kLoadedRecord[] = "LOADED";
bool ReadLoadedRecord(CKeyedTextFile& file, int* loaded);

// "Positions" or "Shortcuts", and programFolder\Positions (or Shortcuts).
const char* LayoutFolderName(int type);
std::string LayoutFolderPath(const std::string& programFolder, int type);
// programFolder\Positions\fileName (or Shortcuts); empty when fileName is not
// a plain file name (see IsPlainFileName), so that no layout name reaches
// outside its folder or opens a device.
std::string LayoutFilePath(const std::string& programFolder, int type, const std::string& fileName);

// The extension every layout file carries, and "%dx%d.dvl": the layout of a
// screen size.
constexpr char kLayoutExtension[] = ".dvl";
std::string ScreenLayoutFileName(int width, int height);

// "Snapshot %dx%d.dvs" in the "Positions" folder: the icons' places the hook
// library keeps by itself for a screen size, in the positions layout format.
// Its name does not end in ".dvl", so the layout manager never lists it and
// no layout the user saves can take its name.
constexpr char kSnapshotExtension[] = ".dvs";
std::string ScreenSnapshotFileName(int width, int height);

// The title of the layout saved at start and restored at exit, and its file;
// either is recognised in any capitals.
constexpr char kOriginalLayout[] = "[original]";
constexpr char kOriginalLayoutFile[] = "[original].dvl";
bool IsOriginalLayoutTitle(const std::string& title);
bool IsOriginalLayoutFile(const std::string& fileName);
