#include "tray/TrayPictures.h"
#include "tests/harness/TestFolders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string CurrentFolder()
{
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The picture's pixels as drawn at 16 x 16, empty for none.
std::vector<DWORD> Pixels(const ScopedIcon& icon)
{
    if (!icon)
        return {};
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    ScopedMemoryDC dc(CreateCompatibleDC(nullptr));
    void* bits = nullptr;
    ScopedBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ScopedSelect select(dc.Get(), bitmap.Get());
    DrawIconEx(dc.Get(), 0, 0, icon.Get(), 16, 16, 0, nullptr, DI_NORMAL);
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    return std::vector<DWORD>(first, first + 16 * 16);
}

}  // namespace

TEST(TrayPictures, IconGroupsOfTheProgramsLibraryCountFromZero)
{
    const std::string library = ProgramFolder() + "\\TrayIcons.dll";
    const std::vector<DWORD> first = Pixels(LoadGroupIcon(library, 0));
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, Pixels(LoadGroupIcon(library, -1)));
    const std::vector<DWORD> fourth = Pixels(LoadGroupIcon(library, 3));
    ASSERT_FALSE(fourth.empty());
    EXPECT_NE(first, fourth);
    EXPECT_FALSE(LoadGroupIcon(library, 1000000));
    EXPECT_FALSE(LoadGroupIcon("", 0));
    EXPECT_FALSE(LoadGroupIcon(ProgramFolder() + "\\NoSuchLibrary.dll", 0));
}

TEST(TrayPictures, ALibraryIsReadAsDataOnlyAndBrokenGroupsPassToTheNext)
{
    const std::string library = TestFolder() + "\\tray_marker.dll";
    const std::string marker = library + ".ran";
    DeleteFileA(marker.c_str());
    const std::string before = CurrentFolder();
    ASSERT_TRUE(SetCurrentDirectoryA(ProgramFolder().c_str()));

    // Groups 0 to 2 give nothing; 3 and 4 hold the first two pictures of the
    // program's library.
    const std::string programLibrary = ProgramFolder() + "\\TrayIcons.dll";
    const std::vector<DWORD> fromBroken = Pixels(LoadGroupIcon(library, 2));
    EXPECT_FALSE(fromBroken.empty());
    EXPECT_EQ(Pixels(LoadGroupIcon(programLibrary, 0)), Pixels(LoadGroupIcon(library, 0)));
    EXPECT_EQ(Pixels(LoadGroupIcon(programLibrary, 0)), fromBroken);
    EXPECT_EQ(Pixels(LoadGroupIcon(programLibrary, 1)), Pixels(LoadGroupIcon(library, 4)));
    EXPECT_FALSE(LoadGroupIcon(library, 5));
    EXPECT_FALSE(FileExists(marker));
    EXPECT_EQ(ProgramFolder(), CurrentFolder());

    // A program without icon groups.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_FALSE(LoadGroupIcon(self, 0));

    // The marker does appear when the library's code runs.
    HMODULE loaded = LoadLibraryA(library.c_str());
    ASSERT_NE(nullptr, loaded);
    FreeLibrary(loaded);
    EXPECT_TRUE(FileExists(marker));
    DeleteFileA(marker.c_str());
    SetCurrentDirectoryA(before.c_str());
}

TEST(TrayPictures, OnlyWholeIconFilesAreIconFiles)
{
    const std::string folder = TestFolder();
    const std::string icon = folder + "\\tray-picture.ico";
    const std::string bytes = ReadAll(icon);
    ASSERT_GT(bytes.size(), 200u);
    const std::string text = folder + "\\tray-text.ico";
    const std::string truncated = folder + "\\tray-truncated.ico";
    WriteAll(text, "Not an icon at all, just some text.\r\n");
    WriteAll(truncated, bytes.substr(0, bytes.size() / 2));
    const std::string programLibrary = ProgramFolder() + "\\TrayIcons.dll";

    const std::vector<DWORD> picture = Pixels(LoadIconFile16(icon));
    ASSERT_FALSE(picture.empty());
    EXPECT_EQ(Pixels(LoadGroupIcon(programLibrary, 0)), picture);
    EXPECT_FALSE(LoadIconFile16(text));
    EXPECT_FALSE(LoadIconFile16(truncated));
    EXPECT_FALSE(LoadIconFile16(folder + "\\tray-missing.ico"));
    EXPECT_FALSE(LoadIconFile16(programLibrary));
    EXPECT_FALSE(LoadIconFile16(folder));

    IconSourceKind kind = kIconSourceNone;
    EXPECT_EQ(picture, Pixels(FindTrayPicture(icon, 5, &kind)));
    EXPECT_EQ(kIconSourceFile, kind);
    EXPECT_EQ(Pixels(LoadGroupIcon(programLibrary, 3)), Pixels(FindTrayPicture(programLibrary, 3, &kind)));
    EXPECT_EQ(kIconSourceGroup, kind);
    for (const std::string& broken : {text, truncated}) {
        kind = kIconSourceNone;
        EXPECT_FALSE(FindTrayPicture(broken, 0, &kind));
        EXPECT_EQ(kIconSourceGroup, kind);
    }
    DeleteFileA(text.c_str());
    DeleteFileA(truncated.c_str());
}
