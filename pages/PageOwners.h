// PageOwners: the features' owners that the pages edit. The program makes
// the owners before the sheet and keeps them until exit; a page is given the
// one it edits when the sheet makes it, reads the owner's state when it is
// shown and hands a value to the owner on Apply.
#pragma once

class IIconFeatures;
class ITrayIconEdits;

struct PageOwners {
    // The desktop icon features (hide switch and rules); null until they start.
    IIconFeatures* icons = nullptr;
    // The custom tray icons (tray/TrayIcons): the Tray page's list and "Enabled".
    ITrayIconEdits* tray = nullptr;
};
