// The safe walker's file system on Windows: the native calls that open
// relative to a folder's handle and list from it, deletion through the handle.
#pragma once

#include "files/WalkSystem.h"

class CWin32WalkSystem : public IWalkSystem {
public:
    uint32_t PathAttributes(const std::string& path, uint32_t& error) override;
    Handle OpenPath(const std::string& path, Access access, bool folder, uint32_t& error) override;
    Handle OpenChild(Handle folder, const std::wstring& exact, Access access, bool isFolder, uint32_t& error) override;
    bool Query(Handle handle, WalkInfo& info, bool withVolume, uint32_t& error) override;
    bool QueryIndex(Handle handle, uint64_t& index, uint32_t& error) override;
    bool List(Handle folder, std::vector<WalkEntry>& entries, uint32_t& error) override;
    bool Remove(Handle handle, uint32_t& error) override;
    bool RemoveChildFile(Handle folder, const std::wstring& exact, uint32_t& error) override;
    void Close(Handle handle) override;
    std::string ErrorText(uint32_t error) override;
};

// The one the program uses.
CWin32WalkSystem& WalkSystem();

// Writing below a folder held open, each name relative to its handle and
// never through a link: what a backup's target side is made of.
//
// Opens the folder name inside folder, making it when missing and make is
// set (made says whether it was made), held without delete sharing, to add
// files and folders to. A link in its place is never followed on Windows;
// Wine follows its own links there, which the caller finds out by the final
// path.
void* OpenSubfolder(void* folder, const std::wstring& name, bool make, bool& made, unsigned long& error);
// Makes the new file name inside folder, to write (and to delete through
// its handle should the copy break off).
void* CreateFileIn(void* folder, const std::wstring& name, unsigned long& error);
// Renames the file open as file to name inside folder, over a file there.
bool RenameInto(void* file, void* folder, const std::wstring& name, unsigned long& error);
// Opens the file name inside folder to change its attributes, never
// following a link.
void* OpenFileIn(void* folder, const std::wstring& name, unsigned long& error);
// What handle holds, by its final path ("C:\..." or "\\server\share\..."),
// or empty when the system names none.
std::string FinalPathOf(void* handle);
