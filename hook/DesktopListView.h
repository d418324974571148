// The desktop's list view as seen from inside the process that owns it.
// List-view messages that carry pointers are only sent from here: across
// processes they are not marshalled (under Wine they fail silently).
#pragma once

#include <windows.h>

#include "hook/HookProtocol.h"
#include "hook/LabelIndex.h"

class CDesktopListView {
public:
    explicit CDesktopListView(HWND listView) : hwnd_(listView) { }

    HWND Handle() const { return hwnd_; }
    int Count() const;
    // The longest label read, in UTF-16 units (MAX_PATH, as the shell's names).
    static constexpr int kLabelUnits = 260;
    // Copies the item's label, as UTF-8, into label (read with the wide
    // message: the shell's process has its own code page).
    bool GetLabel(int index, char (&label)[kIconLabelSize]) const;
    bool GetPosition(int index, POINT* pt) const;
    void SetPosition(int index, int x, int y) const;  // LVM_SETITEMPOSITION
    void SetPosition32(int index, POINT pt) const;  // LVM_SETITEMPOSITION32
    // Width and height of the item's bounds, 48 x 48 when they cannot be read.
    SIZE BoundsSize(int index) const;
    // Width and height of the item's icon rectangle, 48 x 48 when unreadable.
    SIZE IconSize(int index) const;
    bool IsSelected(int index) const;
    // The first item, from index 0 up, whose label equals label (case-sensitive),
    // or -1. Every lookup of an icon by its label goes through here.
    int FindIconByLabel(const char* label) const;
    // Sets the window style and moves every item back to where it was, since
    // a change of view type rearranges the icons.
    void SetStyleKeepingPositions(DWORD style) const;

    // Whether the move the list view is handling now was asked for by this
    // library (through SetPosition or SetPosition32), not by the shell or
    // the user.
    static bool LibraryIsMoving();

private:
    SIZE ItemRectSize(int index, int part) const;

    HWND hwnd_;
};

// While one of these lives, label lookups on its list view use an index built
// once from the items instead of walking them, with the same answers. For
// operations that move icons but neither add nor remove them.
class CScopedIconIndex {
public:
    explicit CScopedIconIndex(HWND listView);
    ~CScopedIconIndex();
    CScopedIconIndex(const CScopedIconIndex&) = delete;
    CScopedIconIndex& operator=(const CScopedIconIndex&) = delete;

    static const CScopedIconIndex* Active(HWND listView);
    int Find(const char* label) const { return index_.Find(label); }

private:
    HWND hwnd_;
    CLabelIndex index_;
    CScopedIconIndex* previous_;
};
