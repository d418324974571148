// The system's common dialogs, from comdlg32.dll loaded the first time one is
// asked for and kept until the program ends. Linked at load time the library
// would come in at start with the print spooler it imports (and, under Wine,
// the printing and network libraries behind that): more than a megabyte of a
// program that mostly idles in the tray and opens these dialogs rarely.
#pragma once

#include <windows.h>
#include <commdlg.h>

// ChooseColorA. Answers false when the user cancels, or when the library or
// its function cannot be had (that is reported through ReportLastError).
bool ShowChooseColour(CHOOSECOLORA& choose);
// CommDlgExtendedError of the last dialog, or 0 when the library never loaded.
DWORD CommonDialogError();
