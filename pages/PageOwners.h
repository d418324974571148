// PageOwners: the features' owners that the pages edit. The program makes
// the owners before the sheet and keeps them until exit; a page is given the
// one it edits when the sheet makes it, reads the owner's state when it is
// shown and hands a value to the owner on Apply.
#pragma once

class CDesktopIcons;
class IAutoRespond;
class IBackupOwner;
class IDeletionOwner;
class IIconFeatures;
class ITrayIconEdits;

struct PageOwners {
    // The desktop icon features: what other features ask of them (the hide
    // switch and rules), and the whole for the Icons page.
    IIconFeatures* icons = nullptr;
    CDesktopIcons* desktopIcons = nullptr;
    // Auto-respond: its rules and its switch.
    IAutoRespond* respond = nullptr;
    // The custom tray icons (tray/TrayIcons): the Tray page's list and "Enabled".
    ITrayIconEdits* tray = nullptr;
    // Automated deletion (the Delete page) and backup (the Backup page).
    IDeletionOwner* deletion = nullptr;
    IBackupOwner* backup = nullptr;
};
