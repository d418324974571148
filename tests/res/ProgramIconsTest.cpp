// The program's icons as a program that links the picture fragment has them.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <set>

#include "framework/ScopedHandles.h"
#include "res/resource.h"
#include "tests/res/PictureTestSupport.h"

namespace {

const unsigned kProgramIcons[] = {IDI_PROGRAM,          IDI_SHORTCUTS_LAYOUT_ON, IDI_SHORTCUTS_LAYOUT_OFF,
                                  IDI_POSITIONS_LAYOUT, IDI_TRAY_SHEET_SHOWN,    IDI_TRAY_SHEET_HIDDEN,
                                  IDI_TRAY_OFF,         IDI_TRAY_DEFAULT,        IDI_MENU_FOLDER};
const unsigned kMagenta = 0xFF00FF;

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

std::vector<GroupIconEntry> GroupEntries(HMODULE module, unsigned id)
{
    std::vector<GroupIconEntry> entries;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return entries;
    const auto* header = reinterpret_cast<const GroupIconHeader*>(data);
    const auto* first = reinterpret_cast<const GroupIconEntry*>(data + sizeof(GroupIconHeader));
    entries.assign(first, first + header->count);
    return entries;
}

ScopedIcon LoadProgramIcon(unsigned id, int size)
{
    return ScopedIcon(
        static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
}

int DifferentPixels(const Pixels& a, const Pixels& b)
{
    int n = 0;
    for (size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); ++i)
        n += a.rgb[i] != b.rgb[i];
    return n;
}

TEST(ProgramIcons, StandInIdOrderWithTheFourLayoutShortcutIconsFirst)
{
    const std::vector<unsigned> expected(std::begin(kProgramIcons), std::end(kProgramIcons));
    EXPECT_EQ(ResourceIds(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(14)), expected);
}

TEST(ProgramIcons, ShellIndexesZeroToThreeGiveTheLayoutShortcutPictures)
{
    // A layout shortcut names its picture as the program file and an index;
    // the shell must find the picture of the id that index stands for.
    const std::string program = TestProgramPath();
    std::vector<Pixels> seen;
    for (int index = 0; index < 4; ++index) {
        HICON large = nullptr;
        ASSERT_EQ(ExtractIconExA(program.c_str(), index, &large, nullptr, 1), 1u) << index;
        ScopedIcon extracted(large);
        ScopedIcon loaded = LoadProgramIcon(kProgramIcons[index], 32);
        ASSERT_TRUE(loaded.IsValid());
        const Pixels fromShell = DrawIcon(extracted.Get(), 32, kMagenta);
        EXPECT_EQ(DifferentPixels(fromShell, DrawIcon(loaded.Get(), 32, kMagenta)), 0) << index;
        seen.push_back(fromShell);
    }
    // The comparison above means something only if the four differ.
    for (size_t a = 0; a < seen.size(); ++a)
        for (size_t b = a + 1; b < seen.size(); ++b)
            EXPECT_GT(DifferentPixels(seen[a], seen[b]), 20) << a << " and " << b;
}

TEST(ProgramIcons, EachHasThirtyTwoBitImagesOfSixteenTwentyFourThirtyTwoAndFortyEightPixels)
{
    for (unsigned id : kProgramIcons) {
        std::set<int> sizes;
        for (const GroupIconEntry& e : GroupEntries(GetModuleHandleA(nullptr), id)) {
            sizes.insert(e.width);
            EXPECT_EQ(e.width, e.height) << id;
            EXPECT_EQ(e.bitCount, 32) << id;
        }
        EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48})) << id;
    }
}

TEST(ProgramIcons, CornersAreTransparentAndThePictureIsSolidInTheMiddle)
{
    for (unsigned id : kProgramIcons) {
        for (int size : {16, 24, 32, 48}) {
            ScopedIcon icon = LoadProgramIcon(id, size);
            ASSERT_TRUE(icon.IsValid()) << id << " at " << size;
            const Pixels onMagenta = DrawIcon(icon.Get(), size, kMagenta);
            const Pixels onGreen = DrawIcon(icon.Get(), size, 0x00FF00);
            ASSERT_EQ(onMagenta.width, size);
            EXPECT_EQ(onMagenta.At(0, 0), kMagenta) << id << " at " << size;
            EXPECT_EQ(onMagenta.At(size - 1, 0), kMagenta) << id << " at " << size;
            // Opaque pixels look the same on any background.
            int opaque = 0;
            for (size_t i = 0; i < onMagenta.rgb.size(); ++i)
                opaque += onMagenta.rgb[i] == onGreen.rgb[i];
            EXPECT_GT(opaque, size * size / 3) << id << " at " << size;
        }
    }
}

TEST(ProgramIcons, TheThreeTrayStatesLookDifferentAtSixteenPixels)
{
    const unsigned states[] = {IDI_TRAY_SHEET_SHOWN, IDI_TRAY_SHEET_HIDDEN, IDI_TRAY_OFF};
    std::vector<Pixels> drawn;
    for (unsigned id : states) {
        ScopedIcon icon = LoadProgramIcon(id, 16);
        ASSERT_TRUE(icon.IsValid()) << id;
        drawn.push_back(DrawIcon(icon.Get(), 16, 0x202020));
    }
    EXPECT_GT(DifferentPixels(drawn[0], drawn[1]), 12);
    EXPECT_GT(DifferentPixels(drawn[1], drawn[2]), 40);
    EXPECT_GT(DifferentPixels(drawn[0], drawn[2]), 40);
}

TEST(ProgramIcons, ThePictureFragmentLeavesTheProgramsOwnResources)
{
    char text[64] = {};
    EXPECT_GT(LoadStringA(GetModuleHandleA(nullptr), 4711, text, sizeof text), 0);
    EXPECT_STREQ(text, "own resources kept");
}

}  // namespace
