#include "tray/TrayPictures.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

#pragma pack(push, 1)
// The records of an icon file and of an icon group resource.
struct IconDirHeader {
    uint16_t reserved;
    uint16_t type;  // 1: icons
    uint16_t count;
};
struct IconFileEntry {
    uint8_t width, height, colours, reserved;
    uint16_t planes, bitCount;
    uint32_t bytes;
    uint32_t offset;
};
struct IconGroupEntry {
    uint8_t width, height, colours, reserved;
    uint16_t planes, bitCount;
    uint32_t bytes;
    uint16_t id;
};
#pragma pack(pop)

bool ReadAt(HANDLE file, uint64_t offset, void* to, DWORD size)
{
    LARGE_INTEGER position = {};
    position.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && ReadFile(file, to, size, &got, nullptr) &&
        got == size;
}

// Whether path is a whole icon file: a directory of icons whose images all
// lie within the file.
bool IsWholeIconFile(const std::string& path)
{
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || GetFileType(file.Get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.Get(), &size))
        return false;
    IconDirHeader header = {};
    if (!ReadAt(file.Get(), 0, &header, sizeof header) || header.reserved != 0 || header.type != 1 || header.count == 0)
        return false;
    const uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
    const uint64_t directoryEnd = sizeof header + uint64_t{header.count} * sizeof(IconFileEntry);
    if (directoryEnd > fileSize)
        return false;
    std::vector<IconFileEntry> entries(header.count);
    if (!ReadAt(file.Get(), sizeof header, entries.data(), static_cast<DWORD>(entries.size() * sizeof entries[0])))
        return false;
    for (const IconFileEntry& entry : entries) {
        if (entry.bytes == 0 || entry.offset < directoryEnd || uint64_t{entry.offset} + entry.bytes > fileSize)
            return false;
    }
    return true;
}

// The first bytes of an icon image: a bitmap header that fits the image, or
// the PNG signature.
bool IsIconImage(const BYTE* bytes, DWORD size)
{
    static const BYTE kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= sizeof kPng && memcmp(bytes, kPng, sizeof kPng) == 0)
        return true;
    if (size < sizeof(BITMAPINFOHEADER))
        return false;
    uint32_t headerSize = 0;
    memcpy(&headerSize, bytes, sizeof headerSize);
    return headerSize >= sizeof(BITMAPINFOHEADER) && headerSize <= size;
}

// A resource's bytes, or nullptr; size is its size in bytes.
const BYTE* LockedResource(HMODULE module, const char* name, const char* type, DWORD* size)
{
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return nullptr;
    *size = SizeofResource(module, found);
    HGLOBAL loaded = *size ? LoadResource(module, found) : nullptr;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

// The best 16 x 16 picture of one icon group, or none.
ScopedIcon GroupPicture(HMODULE module, const char* group)
{
    DWORD size = 0;
    const BYTE* directory = LockedResource(module, group, RT_GROUP_ICON, &size);
    if (!directory || size < sizeof(IconDirHeader))
        return ScopedIcon();
    IconDirHeader header = {};
    memcpy(&header, directory, sizeof header);
    // A directory claiming more entries than it holds would be read past its end.
    if (header.reserved != 0 || header.type != 1 || header.count == 0 ||
        sizeof header + size_t{header.count} * sizeof(IconGroupEntry) > size)
        return ScopedIcon();
    const int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(directory), TRUE, 16, 16, LR_DEFAULTCOLOR);
    if (id <= 0)
        return ScopedIcon();
    DWORD imageSize = 0;
    const BYTE* image = LockedResource(module, MAKEINTRESOURCEA(id), RT_ICON, &imageSize);
    if (!image || !IsIconImage(image, imageSize))
        return ScopedIcon();
    return ScopedIcon(
        CreateIconFromResourceEx(const_cast<BYTE*>(image), imageSize, TRUE, 0x30000, 16, 16, LR_DEFAULTCOLOR));
}

struct GroupSearch {
    int wanted;
    int index;
    ScopedIcon picture;
};

BOOL CALLBACK SearchGroup(HMODULE module, LPCSTR, LPSTR name, LONG_PTR param)
{
    auto& search = *reinterpret_cast<GroupSearch*>(param);
    if (search.index++ < search.wanted)
        return TRUE;
    search.picture = GroupPicture(module, name);
    return search.picture ? FALSE : TRUE;
}

struct GroupCollection {
    int index;
    std::vector<GroupIcon>* icons;
};

BOOL CALLBACK CollectGroup(HMODULE module, LPCSTR, LPSTR name, LONG_PTR param)
{
    auto& collection = *reinterpret_cast<GroupCollection*>(param);
    const int group = collection.index++;
    ScopedIcon picture = GroupPicture(module, name);
    if (!picture)
        return TRUE;
    // No exception may pass through the system's enumeration: out of
    // memory ends it with the pictures found so far.
    try {
        collection.icons->push_back(GroupIcon{group, std::move(picture)});
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

// The file as data only: none of the library's code runs (no DllMain),
// nothing it imports is loaded, and the current folder does not matter.
ScopedModule OpenAsData(const std::string& file)
{
    ScopedModule module(
        LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    // Systems before Vista know no LOAD_LIBRARY_AS_IMAGE_RESOURCE and refuse
    // the pair with ERROR_INVALID_PARAMETER (Wine 8 accepts it).
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
        module.Reset(LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    return module;
}

}  // namespace

ScopedIcon LoadIconFile16(const std::string& file)
{
    if (file.empty() || !IsWholeIconFile(file))
        return ScopedIcon();
    return ScopedIcon(static_cast<HICON>(LoadImageA(nullptr, file.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)));
}

ScopedIcon LoadGroupIcon(const std::string& file, int n)
{
    if (file.empty())
        return ScopedIcon();
    const ScopedModule module = OpenAsData(file);
    if (!module)
        return ScopedIcon();
    GroupSearch search{n, 0, ScopedIcon()};
    EnumResourceNamesA(module.Get(), RT_GROUP_ICON, &SearchGroup, reinterpret_cast<LONG_PTR>(&search));
    return std::move(search.picture);
}

bool LoadGroupIcons(const std::string& file, std::vector<GroupIcon>* icons)
{
    icons->clear();
    if (file.empty())
        return false;
    const ScopedModule module = OpenAsData(file);
    if (!module)
        return false;
    GroupCollection collection{0, icons};
    EnumResourceNamesA(module.Get(), RT_GROUP_ICON, &CollectGroup, reinterpret_cast<LONG_PTR>(&collection));
    return true;
}

ScopedIcon FindTrayPicture(const std::string& file, int index, IconSourceKind* kind)
{
    ScopedIcon picture = LoadIconFile16(file);
    if (picture) {
        if (kind)
            *kind = kIconSourceFile;
        return picture;
    }
    if (kind)
        *kind = kIconSourceGroup;
    return LoadGroupIcon(file, index);
}

ScopedIcon LoadTrayPicture(IconSourceKind kind, const std::string& file, int index)
{
    if (kind == kIconSourceFile)
        return LoadIconFile16(file);
    if (kind == kIconSourceGroup)
        return LoadGroupIcon(file, index);
    return ScopedIcon();
}
