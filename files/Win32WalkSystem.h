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
