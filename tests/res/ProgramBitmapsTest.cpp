// The program's bitmaps: sizes, colour depths, the key colours the pages draw
// them with, and the desktop windows' pictures against their outlines.
#include <gtest/gtest.h>

#include <windows.h>

#include "framework/ScopedHandles.h"
#include "framework/TransparentBitmap.h"
#include "res/DesktopIconShapes.h"
#include "res/resource.h"
#include "tests/res/PictureTestSupport.h"

namespace {

struct Picture {
    UINT id;  // for normal displays
    UINT id16;  // for 8 bits per pixel
    int size;  // square
    bool keyed;  // drawn with a key colour
    unsigned key;  // 0x00RRGGBB
};

const unsigned kBlack = 0x000000;
const unsigned kRed = 0xFF0000;  // the About page's key, COLORREF 0x0000FF

const Picture kPictures[] = {
    {IDB_PAGE_BACKUP, IDB_PAGE_BACKUP_16, 48, true, kBlack},
    {IDB_PAGE_DELETE, IDB_PAGE_DELETE_16, 48, true, kBlack},
    {IDB_PAGE_GENERAL, IDB_PAGE_GENERAL_16, 48, true, kBlack},
    {IDB_PAGE_ICONS, IDB_PAGE_ICONS_16, 48, true, kBlack},
    {IDB_PAGE_RESPOND, IDB_PAGE_RESPOND_16, 48, true, kBlack},
    {IDB_PAGE_TRAY, IDB_PAGE_TRAY_16, 48, true, kBlack},
    {IDB_ABOUT_DECORATION, IDB_ABOUT_DECORATION_16, 64, true, kRed},
    {IDB_SHREDDER, IDB_SHREDDER_16, kDesktopIconPictureSize, false, 0},
    {IDB_SHREDDER_FOCUS, IDB_SHREDDER_FOCUS_16, kDesktopIconPictureSize, false, 0},
    {IDB_BACKUP_ICON, IDB_BACKUP_ICON_16, kDesktopIconPictureSize, false, 0},
    {IDB_BACKUP_ICON_FOCUS, IDB_BACKUP_ICON_FOCUS_16, kDesktopIconPictureSize, false, 0},
};

ScopedBitmap LoadProgramBitmap(UINT id)
{
    return ScopedBitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

Pixels ProgramBitmapPixels(UINT id)
{
    ScopedBitmap bitmap = LoadProgramBitmap(id);
    return ReadBitmap(bitmap.Get());
}

TEST(ProgramBitmaps, HaveTheirSizeInTrueColourAndInSixteenColours)
{
    HMODULE self = GetModuleHandleA(nullptr);
    for (const Picture& p : kPictures) {
        for (UINT id : {p.id, p.id16}) {
            const Pixels pixels = ProgramBitmapPixels(id);
            EXPECT_EQ(pixels.width, p.size) << id;
            EXPECT_EQ(pixels.height, p.size) << id;
        }
        EXPECT_EQ(StoredBitsPerPixel(self, p.id), 24) << p.id;
        EXPECT_LE(StoredBitsPerPixel(self, p.id16), 4) << p.id16;
        EXPECT_GT(StoredBitsPerPixel(self, p.id16), 0) << p.id16;
    }
}

TEST(ProgramBitmaps, SixteenColourVariantsHoldOnlyTheDisplayColours)
{
    for (const Picture& p : kPictures) {
        const Pixels pixels = ProgramBitmapPixels(p.id16);
        ASSERT_FALSE(pixels.rgb.empty()) << p.id16;
        int foreign = 0;
        for (unsigned c : pixels.rgb)
            foreign += !IsDisplayColour(c);
        EXPECT_EQ(foreign, 0) << p.id16;
    }
}

TEST(ProgramBitmaps, KeyedPicturesKeepTheirShapeInSixteenColours)
{
    // A colour that turned into the key in the 16-colour variant would punch
    // a hole into the picture there.
    for (const Picture& p : kPictures) {
        if (!p.keyed)
            continue;
        const Pixels full = ProgramBitmapPixels(p.id);
        const Pixels reduced = ProgramBitmapPixels(p.id16);
        ASSERT_EQ(full.rgb.size(), reduced.rgb.size()) << p.id;
        int keyFull = 0, differ = 0;
        for (size_t i = 0; i < full.rgb.size(); ++i) {
            const bool a = full.rgb[i] == p.key;
            const bool b = reduced.rgb[i] == p.key;
            keyFull += a;
            differ += a != b;
        }
        const int all = p.size * p.size;
        EXPECT_GT(keyFull, all / 20) << p.id << ": no transparent surround";
        EXPECT_LT(keyFull, all * 3 / 4) << p.id << ": hardly any picture";
        EXPECT_LT(differ, all / 25) << p.id;
    }
}

TEST(ProgramBitmaps, DrawTransparentlyWithTheirKeyColour)
{
    ScopedGetDC screen(nullptr);
    for (const Picture& p : kPictures) {
        if (!p.keyed)
            continue;
        for (UINT id : {p.id, p.id16}) {
            CTransparentBitmap picture;
            ASSERT_TRUE(picture.LoadFromModule(GetModuleHandleA(nullptr), id)) << id;
            ScopedMemoryDC dc(CreateCompatibleDC(screen.Get()));
            ScopedBitmap canvas(CreateCompatibleBitmap(screen.Get(), p.size, p.size));
            {
                ScopedSelect select(dc.Get(), canvas.Get());
                ScopedBrush grey(CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0)));
                RECT all = {0, 0, p.size, p.size};
                FillRect(dc.Get(), &all, grey.Get());
                const COLORREF key = RGB(p.key >> 16, (p.key >> 8) & 0xFF, p.key & 0xFF);
                ASSERT_EQ(picture.Draw(dc.Get(), 0, 0, key), 1) << id;
            }
            const Pixels drawn = ReadBitmap(canvas.Get());
            EXPECT_EQ(drawn.At(0, 0), 0xC0C0C0u) << id;
            int keyLeft = 0;
            for (unsigned c : drawn.rgb)
                keyLeft += c == p.key;
            EXPECT_EQ(keyLeft, 0) << id;
        }
    }
}

struct DesktopPicture {
    UINT id;
    const OutlinePoint* outline;
    int points;
};

template <size_t N> constexpr bool Closed(const OutlinePoint (&outline)[N])
{
    return outline[0].x == outline[N - 1].x && outline[0].y == outline[N - 1].y;
}
static_assert(sizeof kShredderOutline / sizeof kShredderOutline[0] == 47, "File Shredder outline");
static_assert(sizeof kBackupOutline / sizeof kBackupOutline[0] == 67, "Backup outline");
static_assert(sizeof kBackupFocusOutline / sizeof kBackupFocusOutline[0] == 78, "Backup focus outline");
static_assert(Closed(kShredderOutline) && Closed(kBackupOutline) && Closed(kBackupFocusOutline),
              "outlines end with their first point");

ScopedRegion OutlineRegion(const OutlinePoint* outline, int points)
{
    std::vector<POINT> p(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i)
        p[i] = POINT{outline[i].x, outline[i].y};
    return ScopedRegion(CreatePolygonRgn(p.data(), points, WINDING));
}

TEST(DesktopPictures, FillTheOutlineOfTheirWindowWithAnEdgeOfTheRimColour)
{
    const DesktopPicture pictures[] = {
        {IDB_SHREDDER, kShredderOutline, 47},
        {IDB_SHREDDER_16, kShredderOutline, 47},
        {IDB_SHREDDER_FOCUS, kShredderOutline, 47},
        {IDB_SHREDDER_FOCUS_16, kShredderOutline, 47},
        {IDB_BACKUP_ICON, kBackupOutline, 67},
        {IDB_BACKUP_ICON_16, kBackupOutline, 67},
        {IDB_BACKUP_ICON_FOCUS, kBackupFocusOutline, 78},
        {IDB_BACKUP_ICON_FOCUS_16, kBackupFocusOutline, 78},
    };
    for (const DesktopPicture& d : pictures) {
        for (int i = 0; i < d.points; ++i) {
            EXPECT_TRUE(d.outline[i].x >= 0 && d.outline[i].x <= 38) << d.id;
            EXPECT_TRUE(d.outline[i].y >= 0 && d.outline[i].y <= 40) << d.id;
        }
        ScopedRegion region = OutlineRegion(d.outline, d.points);
        ASSERT_TRUE(region.IsValid());
        const Pixels pixels = ProgramBitmapPixels(d.id);
        ASSERT_EQ(pixels.width, kDesktopIconPictureSize);
        // Outside the outline the picture is the rim colour; the window
        // shows the pixels the region keeps, and those on its edge must be
        // the rim, so the shape has a clean edge on any desktop.
        const unsigned rim = pixels.At(0, 0);
        auto inside = [&](int x, int y) { return PtInRegion(region.Get(), x, y) != 0; };
        int area = 0, edge = 0, rimOnEdge = 0;
        for (int y = 0; y < pixels.height; ++y) {
            for (int x = 0; x < pixels.width; ++x) {
                if (!inside(x, y))
                    continue;
                ++area;
                if (inside(x - 1, y) && inside(x + 1, y) && inside(x, y - 1) && inside(x, y + 1))
                    continue;
                ++edge;
                rimOnEdge += pixels.At(x, y) == rim;
            }
        }
        EXPECT_GT(area, 500) << d.id;  // a third of the window and more
        EXPECT_GE(rimOnEdge * 10, edge * 9) << d.id << ": " << rimOnEdge << " of " << edge;
    }
}

}  // namespace
