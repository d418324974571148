#include "tray/IconMenu.h"

#include "framework/Window.h"
#include "tests/harness/Canvas.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kUntouched = RGB(1, 2, 3);

// An opaque 16 x 16 icon of one colour.
ScopedIcon SolidIcon(COLORREF colour)
{
    std::vector<DWORD> pixels(16 * 16,
                              0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour));
    std::vector<BYTE> mask(16 * 16 / 8, 0);
    ScopedBitmap colourBits(CreateBitmap(16, 16, 1, 32, pixels.data()));
    ScopedBitmap maskBits(CreateBitmap(16, 16, 1, 1, mask.data()));
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = colourBits.Get();
    info.hbmMask = maskBits.Get();
    return ScopedIcon(CreateIconIndirect(&info));
}

bool IconExists(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info))
        return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

ULONG_PTR ItemData(const CMenu& menu, int position)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_FTYPE;
    if (!GetMenuItemInfoA(menu.GetHandle(), static_cast<UINT>(position), TRUE, &info) || !(info.fType & MFT_OWNERDRAW))
        return 0;
    return info.dwItemData;
}

MEASUREITEMSTRUCT Measure(const CMenu& menu, int position)
{
    MEASUREITEMSTRUCT request = {};
    request.CtlType = ODT_MENU;
    request.itemID = menu.GetItemId(position);
    request.itemData = ItemData(menu, position);
    EXPECT_TRUE(CMenu::DispatchOwnerDraw(WM_MEASUREITEM, reinterpret_cast<LPARAM>(&request)));
    return request;
}

bool Draw(const CMenu& menu, int position, UINT state, const Canvas& canvas, RECT rect)
{
    DRAWITEMSTRUCT request = {};
    request.CtlType = ODT_MENU;
    request.itemID = menu.GetItemId(position);
    request.itemAction = ODA_DRAWENTIRE;
    request.itemState = state;
    request.hwndItem = reinterpret_cast<HWND>(menu.GetHandle());
    request.hDC = canvas.Dc();
    request.rcItem = rect;
    request.itemData = ItemData(menu, position);
    return CMenu::DispatchOwnerDraw(WM_DRAWITEM, reinterpret_cast<LPARAM>(&request));
}

const RECT kItem = {0, 0, 160, 25};

}  // namespace

TEST(IconMenu, MeasuresTextAfterPictureAndGapKeeps31CharactersAndPlainItemsWithoutPicture)
{
    CIconMenu menu;
    const std::string forty(40, 'W');
    ASSERT_TRUE(menu.AppendIconItem(0, 1, "", SolidIcon(kRed)));
    ASSERT_TRUE(menu.AppendIconItem(0, 2, forty.c_str(), SolidIcon(kRed)));
    ASSERT_TRUE(menu.AppendIconItem(0, 3, forty.substr(0, 31).c_str(), SolidIcon(kRed)));
    ASSERT_TRUE(menu.AppendIconItem(0, 4, forty.substr(0, 30).c_str(), SolidIcon(kRed)));
    ASSERT_TRUE(menu.AppendIconItem(0, 5, "Shut Down", ScopedIcon()));
    EXPECT_EQ(0u, ItemData(menu, 4));
    EXPECT_EQ("Shut Down", menu.GetItemText(5));

    const MEASUREITEMSTRUCT empty = Measure(menu, 0);
    EXPECT_EQ(16u + 5u, empty.itemWidth);
    EXPECT_EQ(static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU), 16)), empty.itemHeight);
    EXPECT_EQ(Measure(menu, 2).itemWidth, Measure(menu, 1).itemWidth);
    EXPECT_GT(Measure(menu, 2).itemWidth, Measure(menu, 3).itemWidth);

    // 31 characters, not bytes: a Cyrillic label is cut after its 31st letter.
    std::string cyrillic;
    for (int i = 0; i < 40; ++i)
        cyrillic += "\xD0\xA8";  // Ш
    ASSERT_TRUE(menu.AppendIconItem(0, 6, cyrillic.c_str(), SolidIcon(kRed)));
    ASSERT_TRUE(menu.AppendIconItem(0, 7, cyrillic.substr(0, 31 * 2).c_str(), SolidIcon(kRed)));
    ASSERT_TRUE(menu.AppendIconItem(0, 8, cyrillic.substr(0, 30 * 2).c_str(), SolidIcon(kRed)));
    EXPECT_EQ(Measure(menu, 6).itemWidth, Measure(menu, 5).itemWidth);
    EXPECT_GT(Measure(menu, 6).itemWidth, Measure(menu, 7).itemWidth);
}

TEST(IconMenu, DrawsHighlightOrMenuFillPictureCentredAndTextAfterTheGap)
{
    CIconMenu menu;
    ASSERT_TRUE(menu.AppendIconItem(0, 1, "Editor", SolidIcon(kRed)));
    Canvas canvas(kItem.right, kItem.bottom, kUntouched);

    ASSERT_TRUE(Draw(menu, 0, ODS_SELECTED, canvas, kItem));
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(highlight, canvas.Pixel(150, 1));
    EXPECT_EQ(highlight, canvas.Pixel(159, 24));
    // 25 - 16 leaves 9 rows: 4 above the picture, 5 below.
    EXPECT_EQ(highlight, canvas.Pixel(0, 3));
    EXPECT_EQ(kRed, canvas.Pixel(0, 4));
    EXPECT_EQ(kRed, canvas.Pixel(15, 19));
    EXPECT_EQ(highlight, canvas.Pixel(0, 20));
    EXPECT_EQ(highlight, canvas.Pixel(16, 10));
    EXPECT_EQ(std::set<COLORREF>{highlight}, canvas.Colours(16, 0, 21, 25));
    EXPECT_TRUE(canvas.Colours(21, 0, 120, 25).count(GetSysColor(COLOR_HIGHLIGHTTEXT)));

    canvas.Clear();
    ASSERT_TRUE(Draw(menu, 0, 0, canvas, kItem));
    const COLORREF plain = GetSysColor(COLOR_MENU);
    EXPECT_EQ(plain, canvas.Pixel(150, 1));
    EXPECT_EQ(plain, canvas.Pixel(159, 24));
    EXPECT_EQ(kRed, canvas.Pixel(0, 4));
    EXPECT_TRUE(canvas.Colours(21, 0, 120, 25).count(GetSysColor(COLOR_MENUTEXT)));
}

TEST(IconMenu, ChoosesThePictureOfTheStateAndDrawsGrayedTextTwice)
{
    CIconMenu menu;
    ASSERT_TRUE(menu.AppendIconItem(0, 1, "States", SolidIcon(kRed), SolidIcon(kBlue), SolidIcon(kGreen)));
    ASSERT_TRUE(menu.AppendIconItem(MF_GRAYED, 2, "Grayed", SolidIcon(kRed)));
    Canvas canvas(kItem.right, kItem.bottom, kUntouched);
    const struct {
        int position;
        UINT state;
        COLORREF picture;
    } cases[] = {
        {0, 0, kRed},
        {0, ODS_SELECTED, kBlue},
        {0, ODS_GRAYED, kGreen},
        {0, ODS_GRAYED | ODS_SELECTED, kGreen},
        {1, ODS_SELECTED, kRed},
        {1, ODS_GRAYED, kRed},
    };
    for (const auto& c : cases) {
        canvas.Clear();
        ASSERT_TRUE(Draw(menu, c.position, c.state, canvas, kItem));
        EXPECT_EQ(c.picture, canvas.Pixel(8, 12)) << "item " << c.position << ", state " << c.state;
    }

    canvas.Clear();
    ASSERT_TRUE(Draw(menu, 1, ODS_GRAYED, canvas, kItem));
    const std::set<COLORREF> text = canvas.Colours(21, 0, 120, 25);
    EXPECT_TRUE(text.count(GetSysColor(COLOR_3DHILIGHT)));
    EXPECT_TRUE(text.count(GetSysColor(COLOR_GRAYTEXT)));
    EXPECT_FALSE(text.count(GetSysColor(COLOR_MENUTEXT)));
}

TEST(IconMenu, EmptyingOrDestroyingTheMenuDestroysItsPictures)
{
    ScopedIcon first = SolidIcon(kRed);
    ScopedIcon second = SolidIcon(kBlue);
    const HICON firstHandle = first.Get();
    const HICON secondHandle = second.Get();
    ULONG_PTR oldData = 0;
    {
        CIconMenu menu;
        ASSERT_TRUE(menu.AppendIconItem(0, 1, "One", std::move(first)));
        oldData = ItemData(menu, 0);
        menu.RemoveAllItems();
        EXPECT_EQ(0, menu.GetItemCount());
        EXPECT_FALSE(IconExists(firstHandle));
        MEASUREITEMSTRUCT request = {};
        request.CtlType = ODT_MENU;
        request.itemData = oldData;
        EXPECT_FALSE(CMenu::DispatchOwnerDraw(WM_MEASUREITEM, reinterpret_cast<LPARAM>(&request)));

        ASSERT_TRUE(menu.AppendIconItem(0, 2, "Two", std::move(second)));
        EXPECT_TRUE(IconExists(secondHandle));
    }
    EXPECT_FALSE(IconExists(secondHandle));
}

namespace {

class OwnerWindow : public CWindow {
public:
    int ticks = 0;
    const int* drawn = nullptr;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        // The menu's own loop dispatches the timer: close it once drawn.
        if (msg == WM_TIMER && (++ticks > 100 || (drawn && *drawn >= 3)))
            EndMenu();
        return CWindow::WndProc(msg, wp, lp);
    }
};

class CountingMenu : public CIconMenu {
public:
    std::set<UINT> drawnIds;
    int measured = 0;
    int drawn = 0;

protected:
    void DrawItem(const DRAWITEMSTRUCT& request) override
    {
        drawnIds.insert(request.itemID);
        drawn = static_cast<int>(drawnIds.size());
        CIconMenu::DrawItem(request);
    }
    void MeasureItem(MEASUREITEMSTRUCT& request) override
    {
        ++measured;
        CIconMenu::MeasureItem(request);
    }
};

CWindow::CreateArgs Hidden(const char* className)
{
    CWindow::CreateArgs args;
    args.className = className;
    args.style = WS_OVERLAPPED;
    args.x = args.y = 0;
    args.width = args.height = 100;
    return args;
}

}  // namespace

TEST(IconMenuWindow, MeasureRequestsOfUnknownItemDataAreAnsweredAsNotHandled)
{
    OwnerWindow window;
    ASSERT_EQ(1, window.Create(Hidden("DervaneTrayTestMeasure")));
    MEASUREITEMSTRUCT request = {};
    request.CtlType = ODT_MENU;
    request.itemWidth = 12345;
    // Not an address of this program's: following it would crash.
    request.itemData = 0x10;
    EXPECT_EQ(0, window.Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&request)));
    EXPECT_EQ(12345u, request.itemWidth);
}

TEST(IconMenuWindow, APopupMenuOfTheWindowMeasuresAndDrawsItsPictureItems)
{
    OwnerWindow window;
    ASSERT_EQ(1, window.Create(Hidden("DervaneTrayTestPopup")));
    CountingMenu menu;
    ASSERT_TRUE(menu.AppendIconItem(0, 301, "Editor", SolidIcon(kRed)));
    ASSERT_TRUE(menu.AppendIconItem(0, 302, "Documents", SolidIcon(kBlue)));
    ASSERT_TRUE(menu.AppendSeparator());
    ASSERT_TRUE(menu.AppendIconItem(0, 303, "Shut Down", ScopedIcon()));
    ASSERT_TRUE(menu.AppendIconItem(MF_GRAYED, 304, "Unavailable", SolidIcon(kGreen)));
    window.drawn = &menu.drawn;
    SetTimer(window.GetHwnd(), 1, 50, nullptr);
    EXPECT_EQ(0u, menu.TrackPopup(window.GetHwnd(), POINT{50, 50}, TPM_RETURNCMD));
    KillTimer(window.GetHwnd(), 1);
    EXPECT_GE(menu.measured, 3);
    EXPECT_EQ((std::set<UINT>{301, 302, 304}), menu.drawnIds);
}
