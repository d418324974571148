#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "framework/ScopedHandles.h"

// One item of the desktop as the shell names it.
struct DesktopEntry {
    std::string key;  // parsing name: the file's full path, or "::{CLSID}"
    std::string label;  // IShellFolder::GetDisplayNameOf (SHGDN_INFOLDER) of the desktop folder
    int image = -1;  // index in the system image list, -1 when not looked up
};

// The shell's desktop folder: the items of CSIDL_DESKTOPDIRECTORY, named by
// the desktop's IShellFolder, plus "My Computer" and "Recycle Bin".
class CDesktopFolder {
public:
    // Needs COM on the calling thread. Answers 0 when the desktop folder or its
    // directory cannot be had.
    int Open();

    const std::string& Path() const { return m_path; }
    HIMAGELIST LargeImages() const { return m_largeImages; }
    HIMAGELIST SmallImages() const { return m_smallImages; }

    // Fills out with every item, the fixed ones first. Items whose key is in
    // known get no image looked up (the caller has it already). Answers 0 when
    // the folder cannot be enumerated.
    int Enumerate(std::vector<DesktopEntry>& out, const std::unordered_set<std::string>& known) const;

private:
    int IsInDirectory(const std::string& path) const;
    void AddFixedItem(const char* clsid, const char* label);

    ScopedComPtr<IShellFolder> m_desktop;
    std::string m_path;
    std::vector<DesktopEntry> m_fixed;
    HIMAGELIST m_largeImages = nullptr;  // shared system lists: never destroyed
    HIMAGELIST m_smallImages = nullptr;
};
