// What the safe walker asks of the file system, and what it hands back: a
// handle per open file or folder, a folder's entries as its own handle lists
// them, opens relative to a folder's handle that never follow a link, and
// deletion through the handle. CWin32WalkSystem is the system's; the tests
// bring a tree of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// File attribute bits, the system's own values.
constexpr uint32_t kWalkReadOnly = 0x1;
constexpr uint32_t kWalkFolder = 0x10;
constexpr uint32_t kWalkLink = 0x400;  // a reparse point: junction, symbolic link, mount point
constexpr uint32_t kWalkNoAttributes = 0xFFFFFFFF;

// A file by what it is rather than how it is spelled: its number on its
// volume. 0 is no number (a system that has none compares by nothing).
struct FileIdentity {
    uint32_t volume = 0;
    uint64_t index = 0;
    bool Known() const { return index != 0; }
    bool operator==(const FileIdentity& other) const { return volume == other.volume && index == other.index; }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// What a handle (or a listing) tells of its file.
struct WalkInfo {
    uint32_t attributes = 0;
    FileIdentity id;  // in a listing, the volume is left 0
    uint64_t size = 0;
    uint64_t writeTime = 0;  // 100 ns since 1601, as the system keeps it
    uint64_t creationTime = 0;  // the same units; a copy or an extracted file gets it anew
    bool IsFolder() const { return (attributes & kWalkFolder) != 0; }
    bool IsLink() const { return (attributes & kWalkLink) != 0; }
};

// One entry of a folder, as the folder's handle listed it.
struct WalkEntry {
    std::string name;  // UTF-8; a readable stand-in when unreadable
    std::wstring exact;  // the name as the system spells it: what an open takes
    WalkInfo info;
    // The name holds half of a UTF-16 pair, which no UTF-8 text can spell:
    // name may be the very name of another entry, so nothing is done through it.
    bool unreadable = false;
};

class IWalkSystem {
public:
    using Handle = uintptr_t;  // 0: none
    // kRead lists folders and reads files; kDelete may also delete them (and
    // clear a read-only attribute that stands in the way).
    enum class Access { kRead, kDelete };

    virtual ~IWalkSystem() = default;
    // The attributes of the last name of a whole path, never those of where
    // a link leads (kWalkNoAttributes and error when it cannot be read).
    virtual uint32_t PathAttributes(const std::string& path, uint32_t& error) = 0;
    // Opens a whole path without following a link at its end. A folder is
    // opened without delete sharing: while it is open nobody renames or
    // removes it.
    virtual Handle OpenPath(const std::string& path, Access access, bool folder, uint32_t& error) = 0;
    // Opens the entry named exact inside folder, relative to its handle.
    virtual Handle OpenChild(Handle folder, const std::wstring& exact, Access access, bool isFolder,
                             uint32_t& error) = 0;
    // What the handle tells of its file: attributes, number, size and time,
    // with its volume's serial when withVolume (which costs more).
    virtual bool Query(Handle handle, WalkInfo& info, bool withVolume, uint32_t& error) = 0;
    // Only the file's number on its volume: the cheap look that a file
    // opened from a listing needs to be told from one swapped in.
    virtual bool QueryIndex(Handle handle, uint64_t& index, uint32_t& error) = 0;
    // The entries of an open folder, without "." and "..".
    virtual bool List(Handle folder, std::vector<WalkEntry>& entries, uint32_t& error) = 0;
    // Deletes what handle holds (a folder only when empty); the file goes
    // when the handle closes. A read-only file gives way, and keeps its
    // attribute if it still cannot be deleted.
    virtual bool Remove(Handle handle, uint32_t& error) = 0;
    // Deletes the file (never a folder) named exact inside folder: opened
    // relative to the folder's handle, never following a link (a link is
    // removed as the link), and gone when that handle closes.
    virtual bool RemoveChildFile(Handle folder, const std::wstring& exact, uint32_t& error) = 0;
    virtual void Close(Handle handle) = 0;
    // The system's own words for error.
    virtual std::string ErrorText(uint32_t error) = 0;
};
