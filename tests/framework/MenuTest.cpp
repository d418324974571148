#include "framework/Dialog.h"
#include "framework/Menu.h"
#include "framework/Window.h"

#include "TestResources.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(Menu, LoadsFromResourcesWithItemsInOrder)
{
    CMenu menu = CMenu::Load(IDR_TEST_MENU);
    ASSERT_TRUE(menu.IsValid());
    CMenu popup = menu.GetSubMenu(0);
    ASSERT_TRUE(popup.IsValid());
    ASSERT_EQ(4, popup.GetItemCount());
    EXPECT_EQ(static_cast<UINT>(ID_TEST_OPEN), popup.GetItemId(0));
    EXPECT_EQ(static_cast<UINT>(ID_TEST_TOGGLE), popup.GetItemId(1));
    EXPECT_EQ(0u, popup.GetItemId(2));  // separator
    EXPECT_EQ(static_cast<UINT>(ID_TEST_EXIT), popup.GetItemId(3));
    EXPECT_EQ("&Toggle", popup.GetItemText(ID_TEST_TOGGLE));
}

TEST(Menu, MissingResourceGivesAnInvalidMenuAndAReport)
{
    ReportCapture capture;
    CMenu menu = CMenu::Load(31999);
    EXPECT_FALSE(menu.IsValid());
    EXPECT_EQ(0, menu.GetItemCount());
    EXPECT_FALSE(capture.Lines().empty());
}

TEST(Menu, OwnedMenuIsDestroyedAndBorrowedSubMenuIsNot)
{
    HMENU handle = nullptr;
    HMENU sub = nullptr;
    {
        CMenu menu = CMenu::Load(IDR_TEST_MENU);
        handle = menu.GetHandle();
        {
            CMenu popup = menu.GetSubMenu(0);
            sub = popup.GetHandle();
        }
        EXPECT_TRUE(IsMenu(sub));
        CMenu moved(std::move(menu));
        EXPECT_FALSE(menu.IsValid());
        EXPECT_TRUE(IsMenu(handle));
    }
    EXPECT_FALSE(IsMenu(handle));
}

TEST(Menu, DefaultItemAndCheckMarks)
{
    CMenu menu = CMenu::Load(IDR_TEST_MENU);
    CMenu popup = menu.GetSubMenu(0);
    EXPECT_EQ(0u, popup.GetDefaultItem());
    EXPECT_EQ(1, popup.SetDefaultItemByPosition(0));
    EXPECT_EQ(static_cast<UINT>(ID_TEST_OPEN), popup.GetDefaultItem());
    // The default item is the one drawn bold.
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoA(popup.GetHandle(), ID_TEST_OPEN, FALSE, &info));
    EXPECT_TRUE(info.fState & MFS_DEFAULT);
    EXPECT_EQ(1, popup.SetDefaultItem(ID_TEST_EXIT));
    EXPECT_EQ(static_cast<UINT>(ID_TEST_EXIT), popup.GetDefaultItem());

    EXPECT_FALSE(popup.IsItemChecked(ID_TEST_TOGGLE));
    EXPECT_EQ(1, popup.CheckItem(ID_TEST_TOGGLE, true));
    EXPECT_TRUE(popup.IsItemChecked(ID_TEST_TOGGLE));
    EXPECT_FALSE(popup.IsItemChecked(ID_TEST_OPEN));
    EXPECT_EQ(1, popup.CheckItem(ID_TEST_TOGGLE, false));
    EXPECT_FALSE(popup.IsItemChecked(ID_TEST_TOGGLE));

    EXPECT_EQ(1, popup.EnableItem(ID_TEST_EXIT, false));
    EXPECT_FALSE(popup.IsItemEnabled(ID_TEST_EXIT));
    EXPECT_TRUE(popup.IsItemEnabled(ID_TEST_OPEN));
    EXPECT_EQ(0, popup.CheckItem(31999, true));  // no such item
}

namespace {

// While a popup menu tracks, this thread's timers still run: the timer
// presses Down twice (the first selects the first item) and Enter.
HWND g_owner = nullptr;
int g_step = 0;

void CALLBACK PressKeys(HWND, UINT, UINT_PTR id, DWORD)
{
    if (g_step == 0) {
        PostMessageA(g_owner, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(g_owner, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(g_owner, WM_KEYDOWN, VK_RETURN, 0);
    } else if (g_step > 40) {
        EndMenu();  // safety: never hang in the menu loop
        KillTimer(nullptr, id);
    }
    ++g_step;
}

}  // namespace

TEST(Menu, TrackPopupAnswersTheChosenCommand)
{
    CWindow owner;
    CWindow::CreateArgs args;
    const std::string cls = UniqueName("FwMenuOwner");
    args.className = cls.c_str();
    args.style = WS_POPUP | WS_VISIBLE;
    args.x = 10;
    args.y = 10;
    args.width = 50;
    args.height = 50;
    ASSERT_EQ(1, owner.Create(args));
    g_owner = owner.GetHwnd();
    g_step = 0;
    CMenu menu = CMenu::Load(IDR_TEST_MENU);
    CMenu popup = menu.GetSubMenu(0);
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &PressKeys);
    const UINT chosen = popup.TrackPopup(owner.GetHwnd(), POINT{20, 20}, TPM_RIGHTBUTTON | TPM_RETURNCMD);
    KillTimer(nullptr, timer);
    EXPECT_LE(g_step, 41) << "the menu was ended by the safety timer";
    EXPECT_EQ(static_cast<UINT>(ID_TEST_TOGGLE), chosen);
    PumpPending();
}

namespace {

// Registers one item data value and counts the requests it is handed.
class RecordingMenu : public CMenu {
public:
    explicit RecordingMenu(ULONG_PTR data) : CMenu(ScopedMenu(CreatePopupMenu())) { RegisterItemData(data); }
    int measured = 0;
    int drawn = 0;

protected:
    void MeasureItem(MEASUREITEMSTRUCT& request) override
    {
        ++measured;
        request.itemHeight = 33;
    }
    void DrawItem(const DRAWITEMSTRUCT&) override { ++drawn; }
};

}  // namespace

TEST(Menu, DialogsHandOwnerDrawnItemsToTheMenuThatRegisteredThem)
{
    int item = 0;
    int gone = 0;
    const auto data = reinterpret_cast<ULONG_PTR>(&item);
    const auto goneData = reinterpret_cast<ULONG_PTR>(&gone);
    RecordingMenu menu(data);
    {
        RecordingMenu destroyed(goneData);
    }
    CMenu other{ScopedMenu(CreatePopupMenu())};
    CDialog dialog(IDD_TEST_DIALOG);
    ASSERT_EQ(1, dialog.CreateModeless(nullptr));

    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemData = data;
    EXPECT_EQ(TRUE, dialog.Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_EQ(33u, measure.itemHeight);
    measure.itemData = goneData;
    measure.itemHeight = 0;
    EXPECT_EQ(0, dialog.Send(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_EQ(0u, measure.itemHeight);

    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemData = data;
    draw.hwndItem = reinterpret_cast<HWND>(other.GetHandle());
    dialog.Send(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(0, menu.drawn);
    draw.hwndItem = reinterpret_cast<HWND>(menu.GetHandle());
    EXPECT_EQ(TRUE, dialog.Send(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    EXPECT_EQ(1, menu.drawn);
    EXPECT_EQ(1, menu.measured);
}
