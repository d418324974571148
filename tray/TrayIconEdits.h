// ITrayIconEdits: what the Tray page reads of the custom tray icons and the
// edits it hands their owner (CTrayIcons). Each edit is shown in the
// notification area at once and written to TrayIcons.txt at once; an edit
// answers false when the file could not be written (the change is kept and
// written again with the next one).
#pragma once

#include "tray/TrayIconList.h"

#include <vector>

class ITrayIconEdits {
public:
    virtual ~ITrayIconEdits() = default;

    // The list as the owner holds it; each entry's picture on its run time.
    virtual const CTrayIconList& Icons() const = 0;
    // The "Enabled" setting: the icons show when it and the program's switch are on.
    virtual bool Enabled() const = 0;
    // Keeps and writes the setting; the icons go or come with it.
    virtual void SetEnabled(bool on) = 0;

    // A new last entry from the tip, the picture (kind, file, index) and the
    // menu items of entry.
    virtual bool Add(const TrayIconEntry& entry) = 0;
    // The tip and the picture of the entry at position, from look; its menu stays.
    virtual bool Replace(int position, const TrayIconEntry& look) = 0;
    virtual bool Remove(int position) = 0;
    // The entries at from and to (next to each other) change places; each
    // icon keeps its place in the notification area. An entry whose icon
    // was taken out of the notification area stays out, and its neighbour's
    // icon keeps showing its own entry and menu.
    virtual bool Move(int from, int to) = 0;
    // The menu of the entry at position.
    virtual bool SetMenu(int position, std::vector<TrayMenuItem> items) = 0;
};
