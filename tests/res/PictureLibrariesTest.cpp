// Resources.dll and TrayIcons.dll as the program finds them in its folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>

#include "framework/ScopedHandles.h"
#include "res/resource.h"
#include "tests/res/PictureTestSupport.h"

namespace {

std::string LibraryPath(const char* name)
{
    return ProgramFolder() + "\\" + name;
}

ScopedModule LoadLibraryFromProgramFolder(const char* name)
{
    return ScopedModule(LoadLibraryA(LibraryPath(name).c_str()));
}

// Entry point and imported libraries of a DLL file, read from its headers.
struct PeFacts {
    bool valid = false;
    DWORD entryPoint = 0;
    int importedLibraries = 0;
};

// The file offset of rva, or 0 when no section holds it.
size_t FileOffset(const IMAGE_NT_HEADERS64* nt, DWORD rva)
{
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const DWORD size = section->Misc.VirtualSize ? section->Misc.VirtualSize : section->SizeOfRawData;
        if (rva >= section->VirtualAddress && rva < section->VirtualAddress + size)
            return rva - section->VirtualAddress + section->PointerToRawData;
    }
    return 0;
}

PeFacts ReadPeFacts(const std::string& path)
{
    PeFacts facts;
    std::ifstream in(path, std::ios::binary);
    const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < sizeof(IMAGE_DOS_HEADER))
        return facts;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE ||
        file.size() < static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64))
        return facts;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(file.data() + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        return facts;
    facts.valid = true;
    facts.entryPoint = nt->OptionalHeader.AddressOfEntryPoint;
    if (nt->OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_IMPORT)
        return facts;
    const IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.Size)
        return facts;
    // The descriptors end with an empty one; each other names a library.
    for (size_t at = FileOffset(nt, imports.VirtualAddress); at && at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= file.size();
         at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(file.data() + at);
        if (!d->Name)
            break;
        ++facts.importedLibraries;
    }
    return facts;
}

TEST(ResourcesLibrary, HoldsTheAboutPictureInTrueColourAndSixteenColours)
{
    ScopedModule library = LoadLibraryFromProgramFolder("Resources.dll");
    ASSERT_TRUE(library.IsValid()) << LibraryPath("Resources.dll");
    for (UINT id : {IDB_ABOUT_PICTURE, IDB_ABOUT_PICTURE_16}) {
        ScopedBitmap bitmap(static_cast<HBITMAP>(
            LoadImageA(library.Get(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        const Pixels pixels = ReadBitmap(bitmap.Get());
        EXPECT_EQ(pixels.width, 240) << id;
        EXPECT_EQ(pixels.height, 64) << id;
    }
    EXPECT_EQ(StoredBitsPerPixel(library.Get(), IDB_ABOUT_PICTURE), 24);
    EXPECT_LE(StoredBitsPerPixel(library.Get(), IDB_ABOUT_PICTURE_16), 4);
    ScopedBitmap reduced(static_cast<HBITMAP>(
        LoadImageA(library.Get(), MAKEINTRESOURCEA(IDB_ABOUT_PICTURE_16), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    for (unsigned c : ReadBitmap(reduced.Get()).rgb)
        ASSERT_TRUE(IsDisplayColour(c)) << std::hex << c;
}

TEST(PictureLibraries, AreResourceOnlyWithNoEntryPointAndNoImports)
{
    for (const char* name : {"Resources.dll", "TrayIcons.dll"}) {
        const PeFacts facts = ReadPeFacts(LibraryPath(name));
        ASSERT_TRUE(facts.valid) << name;
        EXPECT_EQ(facts.entryPoint, 0u) << name;
        EXPECT_EQ(facts.importedLibraries, 0) << name;
    }
}

// The tray icon picker's way to a 16-pixel picture of an icon group.
ScopedIcon SixteenPixelPicture(HMODULE module, unsigned group)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(group), MAKEINTRESOURCEA(14));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    BYTE* directory = loaded ? static_cast<BYTE*>(LockResource(loaded)) : nullptr;
    if (!directory)
        return {};
    const int best = LookupIconIdFromDirectoryEx(directory, TRUE, 16, 16, LR_DEFAULTCOLOR);
    HRSRC image = best ? FindResourceA(module, MAKEINTRESOURCEA(best), MAKEINTRESOURCEA(3)) : nullptr;
    HGLOBAL imageData = image ? LoadResource(module, image) : nullptr;
    BYTE* bits = imageData ? static_cast<BYTE*>(LockResource(imageData)) : nullptr;
    if (!bits)
        return {};
    return ScopedIcon(
        CreateIconFromResourceEx(bits, SizeofResource(module, image), TRUE, 0x30000, 16, 16, LR_DEFAULTCOLOR));
}

TEST(TrayIconsLibrary, OffersEachOfItsIconsAsADistinctSixteenPixelPicture)
{
    ScopedModule library = LoadLibraryFromProgramFolder("TrayIcons.dll");
    ASSERT_TRUE(library.IsValid()) << LibraryPath("TrayIcons.dll");
    std::vector<unsigned> expected;
    for (unsigned id = 1; id <= TRAY_ICON_COUNT; ++id)
        expected.push_back(id);
    ASSERT_EQ(ResourceIds(library.Get(), MAKEINTRESOURCEA(14)), expected);

    std::vector<Pixels> pictures;
    for (unsigned id : expected) {
        ScopedIcon icon = SixteenPixelPicture(library.Get(), id);
        ASSERT_TRUE(icon.IsValid()) << id;
        const Pixels drawn = DrawIcon(icon.Get(), 16, 0xFF00FF);
        EXPECT_EQ(drawn.At(0, 0), 0xFF00FFu) << id;
        int covered = 0;
        for (unsigned c : drawn.rgb)
            covered += c != 0xFF00FF;
        EXPECT_GT(covered, 40) << id;
        pictures.push_back(drawn);
    }
    for (size_t a = 0; a < pictures.size(); ++a)
        for (size_t b = a + 1; b < pictures.size(); ++b)
            EXPECT_NE(pictures[a].rgb, pictures[b].rgb) << a + 1 << " and " << b + 1;
}

}  // namespace
