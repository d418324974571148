// Resource and command ids of the program's main window (its message and
// timer ids are in common/AppMessages.h).
#pragma once

#define IDR_MAINFRAME 101  // the tray menu; also the frame's menu

#define IDI_PROGRAM 104
#define IDI_TRAY_SHOWN 171  // features on, sheet visible
#define IDI_TRAY_HIDDEN 172  // features on, sheet hidden
#define IDI_TRAY_OFF 173  // features off

#define ID_TRAY_PROPERTIES 40001
#define ID_TRAY_EXIT 40002
#define ID_TRAY_DISABLE 40004
#define ID_TRAY_HELP 40005
