// The desktop's list view as seen from inside the process that owns it.
// List-view messages that carry pointers are only sent from here: across
// processes they are not marshalled (under Wine they fail silently).
#pragma once

#include <windows.h>

#include "hook/HookProtocol.h"

class CDesktopListView {
 public:
  explicit CDesktopListView(HWND listView) : hwnd_(listView) {}

  HWND Handle() const { return hwnd_; }
  int Count() const;
  // Copies the item's label (at most 127 characters) into label.
  bool GetLabel(int index, char (&label)[kIconLabelSize]) const;
  bool GetPosition(int index, POINT* pt) const;
  void SetPosition(int index, int x, int y) const;    // LVM_SETITEMPOSITION
  void SetPosition32(int index, POINT pt) const;      // LVM_SETITEMPOSITION32
  // Width and height of the item's bounds, 48 x 48 when they cannot be read.
  SIZE BoundsSize(int index) const;
  bool IsSelected(int index) const;
  // The first item, from index 0 up, whose label equals label (case-sensitive),
  // or -1. Every lookup of an icon by its label goes through here.
  int FindIconByLabel(const char* label) const;
  // Sets the window style and moves every item back to where it was, since
  // a change of view type rearranges the icons.
  void SetStyleKeepingPositions(DWORD style) const;

 private:
  HWND hwnd_;
};
