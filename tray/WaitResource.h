// The wait window of the tray menus' system commands.
#pragma once

#define IDD_TRAY_WAIT 5690
#define IDC_TRAY_WAIT_TEXT 5691
