// PageOwners: the features' owners that the pages edit. The program makes
// the owners before the sheet and keeps them until exit; a page is given the
// one it edits when the sheet makes it, reads the owner's state when it is
// shown and hands a value to the owner on Apply.
#pragma once

class IBackupOwner;
class IDeletionOwner;
class IIconFeatures;

struct PageOwners {
    // The desktop icon features (hide switch and rules); null until they start.
    IIconFeatures* icons = nullptr;
    // Automated deletion (the Delete page) and backup (the Backup page).
    IDeletionOwner* deletion = nullptr;
    IBackupOwner* backup = nullptr;
};
