// The system's common dialogs, from comdlg32.dll loaded the first time one is
// asked for and kept until the program ends. Linked at load time the library
// would come in at start with the print spooler it imports (and, under Wine,
// the printing and network libraries behind that): more than a megabyte of a
// program that mostly idles in the tray and opens these dialogs rarely.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

// ChooseColorA. Answers false when the user cancels, or when the library or
// its function cannot be had (that is reported through ReportLastError).
bool ShowChooseColour(CHOOSECOLORA& choose);
// The size of the buffer for a path an A call fills (lpstrFile): MAX_PATH
// characters of UTF-16, each up to three bytes in UTF-8, and the NUL.
constexpr DWORD kUtf8PathBytes = 3 * MAX_PATH + 1;
// GetOpenFileNameA. Answers false when the user cancels or the dialog cannot
// be had (see CommonDialogError).
bool ShowOpenFile(OPENFILENAMEA& open);
// The shell's folder browser (shell32, not this library), owned by owner,
// rooted at the desktop, with title above its tree. Answers false when the
// user cancels; otherwise path is the chosen folder's file system path, or
// empty when it has none (a printer, the network neighbourhood, ...).
bool BrowseForFolder(HWND owner, const char* title, std::string& path);
// CommDlgExtendedError of the last dialog, or 0 when the library never loaded.
DWORD CommonDialogError();
