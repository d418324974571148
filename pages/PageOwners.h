// PageOwners: the features' owners that the pages edit. The program makes
// the owners before the sheet and keeps them until exit; a page is given the
// one it edits when the sheet makes it, reads the owner's state when it is
// shown and hands a value to the owner on Apply.
#pragma once

class IAutoRespond;
class IIconFeatures;

struct PageOwners {
    // The desktop icon features (hide switch and rules); null until they start.
    IIconFeatures* icons = nullptr;
    // Auto-respond: its rules and its switch.
    IAutoRespond* respond = nullptr;
};
