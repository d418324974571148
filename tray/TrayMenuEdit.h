// CTrayMenuEdit: the items of one tray icon's menu while the menu editor
// works on them, with the rules the editor keeps: at most one default item,
// separators without label, path or mark, nothing the list file cannot keep.
// Window-free.
#pragma once

#include "tray/TrayIconEntry.h"

#include <string>
#include <vector>

class CTrayMenuEdit {
public:
    explicit CTrayMenuEdit(std::vector<TrayMenuItem> items) : m_items(std::move(items)) { }

    const std::vector<TrayMenuItem>& Items() const { return m_items; }
    int Count() const { return static_cast<int>(m_items.size()); }
    const TrayMenuItem& Item(int position) const { return m_items[static_cast<size_t>(position)]; }

    // An item marked as default takes the mark from every other item.
    void Add(TrayMenuItem item);
    void Replace(int position, TrayMenuItem item);
    void Remove(int position);
    // The items at position and position + 1 change places.
    void SwapWithNext(int position);

    // The item's line in the editor's list: its label, or a row of dashes
    // for a separator.
    static std::string LineText(const TrayMenuItem& item);
    // Why the item cannot be kept in TrayIcons.txt, as a sentence for the
    // user ("The label holds a tab or a line break."), or empty when it can.
    static std::string Problem(const TrayMenuItem& item);
    // The label of an item made from a dropped file or folder: its name
    // without its folder and, for a file (also a shell link), without its
    // extension.
    static std::string LabelFor(const std::string& path, bool isFolder);

private:
    // Separators keep nothing but their kind; a default item takes the mark.
    TrayMenuItem Normalised(TrayMenuItem item, int position);

    std::vector<TrayMenuItem> m_items;
};
