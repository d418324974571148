// The pictures of custom tray icons: an icon file, or an icon group of a
// program or library. A chosen file is read as data only: no code of it
// runs, and the current folder is left alone.
#pragma once

#include "framework/ScopedHandles.h"
#include "tray/TrayIconEntry.h"

#include <string>
#include <vector>

// The 16 x 16 picture of an icon file (.ico), or none when the file is not
// a whole icon file.
ScopedIcon LoadIconFile16(const std::string& file);
// The best 16 x 16 picture of icon group n (counted from 0 in the order the
// file's groups are enumerated; n of 0 or less takes the first) of a program
// or library; a group without a usable 16 x 16 image passes to the next.
// None when the file is empty, cannot be opened or has no usable group.
ScopedIcon LoadGroupIcon(const std::string& file, int n);
// One picture of the icon groups of a program or library, with the group's
// index (counted as for LoadGroupIcon).
struct GroupIcon {
    int group;
    ScopedIcon icon;
};
// The best 16 x 16 picture of every icon group of a program or library that
// gives one, in the order the groups are enumerated: a group without a usable
// image is left out, so the index of a picture in icons need not be its
// group's. False, with icons empty, when the file cannot be opened.
bool LoadGroupIcons(const std::string& file, std::vector<GroupIcon>* icons);
// An entry's picture: the file as an icon file (kind kIconSourceFile), else
// its icon group index (kind kIconSourceGroup, also when that gives none).
ScopedIcon FindTrayPicture(const std::string& file, int index, IconSourceKind* kind);
// The picture of a kind chosen in the picker: the icon file's, the icon
// group's, or none for kIconSourceNone.
ScopedIcon LoadTrayPicture(IconSourceKind kind, const std::string& file, int index);
