#include "framework/PropertySheet.h"

#include "TestResources.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace {

struct PageCounts {
    int init = 0;
    int setActive = 0;
    int killActive = 0;
    int apply = 0;
    int reset = 0;
    int destroyed = 0;
};

class TestPage : public CPropertyPage {
public:
    TestPage(UINT templateId, PageCounts& counts) : CPropertyPage(templateId), m_counts(counts) { }
    ~TestPage() override { ++m_counts.destroyed; }
    bool acceptApply = true;
    bool allowLeave = true;
    bool throwInApply = false;

protected:
    int OnInitDialog() override
    {
        ++m_counts.init;
        return 1;
    }
    int OnSetActive() override
    {
        ++m_counts.setActive;
        return 1;
    }
    int OnKillActive() override
    {
        ++m_counts.killActive;
        return allowLeave ? 1 : 0;
    }
    int OnApply() override
    {
        ++m_counts.apply;
        if (throwInApply)
            throw std::runtime_error("apply failed on purpose");
        return acceptApply ? 1 : 0;
    }
    void OnReset() override { ++m_counts.reset; }

    PageCounts& m_counts;
};

// The first page has OK, Cancel and Apply of its own; typing marks it changed.
class PageWithButtons : public TestPage {
public:
    explicit PageWithButtons(PageCounts& counts) : TestPage(IDD_PAGE_ONE, counts)
    {
        OwnButtons buttons;
        buttons.ok = IDC_PAGE_ONE_OK;
        buttons.cancel = IDC_PAGE_ONE_CANCEL;
        buttons.apply = IDC_PAGE_ONE_APPLY;
        SetOwnButtons(buttons);
    }

protected:
    int OnSetActive() override
    {
        // Setting the controls sends EN_CHANGE, as on every real page.
        SetItemText(IDC_PAGE_ONE_EDIT, "from the settings");
        return TestPage::OnSetActive();
    }
    int OnCommand(UINT id, UINT code, HWND control) override
    {
        if (id == IDC_PAGE_ONE_EDIT && code == EN_CHANGE) {
            SetModified(true);
            return 1;
        }
        return TestPage::OnCommand(id, code, control);
    }
};

class TestSheet : public CPropertySheet {
public:
    int initialized = 0;
    bool firstPageExisted = false;

protected:
    void OnInitialized() override
    {
        ++initialized;
        firstPageExisted = GetPage(0)->GetHwnd() != nullptr;
    }
};

class PropertySheetTest : public ::testing::Test {
protected:
    void Build(CPropertySheet::SheetArgs args = CPropertySheet::SheetArgs())
    {
        one = static_cast<TestPage*>(sheet->AddPage(std::make_unique<PageWithButtons>(oneCounts)));
        two = static_cast<TestPage*>(sheet->AddPage(std::make_unique<TestPage>(IDD_PAGE_TWO, twoCounts)));
        caption = UniqueName("Framework Test Sheet");
        args.caption = caption.c_str();
        ASSERT_EQ(1, sheet->Create(args));
    }
    void Click(CPropertyPage* page, int id)
    {
        SendMessageA(page->GetHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(page->GetItem(id)));
    }
    bool IsEnabled(CPropertyPage* page, int id) { return IsWindowEnabled(page->GetItem(id)); }

    PageCounts oneCounts;
    PageCounts twoCounts;
    std::unique_ptr<TestSheet> sheet = std::make_unique<TestSheet>();
    TestPage* one = nullptr;
    TestPage* two = nullptr;
    std::string caption;
};

}  // namespace

TEST_F(PropertySheetTest, StartsHiddenOnTheFirstPageAndIsFoundByCaption)
{
    Build();
    EXPECT_EQ(1, sheet->initialized);
    EXPECT_FALSE(sheet->firstPageExisted);
    EXPECT_FALSE(sheet->IsVisible());
    EXPECT_EQ(sheet->GetHwnd(), FindWindowA(nullptr, caption.c_str()));
    EXPECT_EQ(caption, sheet->GetText());
    EXPECT_EQ(0, sheet->GetActiveIndex());
    EXPECT_EQ(1, oneCounts.init);
    EXPECT_EQ(1, oneCounts.setActive);
    // Pages are made when first shown.
    EXPECT_EQ(0, twoCounts.init);
    EXPECT_EQ(nullptr, two->GetHwnd());
    EXPECT_EQ(sheet.get(), one->GetSheet());
}

TEST_F(PropertySheetTest, SwitchingPagesCallsKillActiveThenSetActive)
{
    Build();
    EXPECT_EQ(1, sheet->SetActivePage(1));
    EXPECT_EQ(1, oneCounts.killActive);
    EXPECT_EQ(1, twoCounts.init);
    EXPECT_EQ(1, twoCounts.setActive);
    EXPECT_EQ(1, sheet->GetActiveIndex());

    // A page that refuses to be left keeps the sheet where it is.
    two->allowLeave = false;
    EXPECT_EQ(0, sheet->SetActivePage(0));
    EXPECT_EQ(1, twoCounts.killActive);
    EXPECT_EQ(1, sheet->GetActiveIndex());
    EXPECT_EQ(1, oneCounts.setActive);
}

TEST_F(PropertySheetTest, ApplyReachesEveryPageWindowAndARefusalIsHonoured)
{
    Build();
    sheet->SetActivePage(1);
    sheet->SetActivePage(0);
    EXPECT_EQ(1, sheet->Apply());
    EXPECT_EQ(1, oneCounts.apply);
    EXPECT_EQ(1, twoCounts.apply);

    // The refusing page is shown so the user sees what is wrong.
    two->acceptApply = false;
    EXPECT_EQ(0, sheet->Apply());
    EXPECT_EQ(2, twoCounts.apply);
    EXPECT_EQ(1, sheet->GetActiveIndex());
}

TEST_F(PropertySheetTest, OwnButtonsFollowActivationChangesAndApply)
{
    Build();
    // Activation set the edit (a change) but leaves Apply disabled.
    EXPECT_TRUE(IsEnabled(one, IDC_PAGE_ONE_OK));
    EXPECT_FALSE(IsEnabled(one, IDC_PAGE_ONE_APPLY));
    EXPECT_FALSE(one->IsModified());

    one->SetItemText(IDC_PAGE_ONE_EDIT, "typed by the user");
    EXPECT_TRUE(one->IsModified());
    EXPECT_TRUE(IsEnabled(one, IDC_PAGE_ONE_APPLY));

    Click(one, IDC_PAGE_ONE_APPLY);
    EXPECT_EQ(1, oneCounts.apply);
    EXPECT_FALSE(IsEnabled(one, IDC_PAGE_ONE_APPLY));

    // A refused apply keeps the change marked.
    one->acceptApply = false;
    one->SetItemText(IDC_PAGE_ONE_EDIT, "invalid");
    Click(one, IDC_PAGE_ONE_APPLY);
    EXPECT_EQ(2, oneCounts.apply);
    EXPECT_TRUE(IsEnabled(one, IDC_PAGE_ONE_APPLY));
}

TEST_F(PropertySheetTest, OwnOkAppliesAndHidesOwnCancelOnlyHides)
{
    Build();
    sheet->Show(SW_SHOW);
    ASSERT_TRUE(sheet->IsVisible());
    Click(one, IDC_PAGE_ONE_CANCEL);
    EXPECT_FALSE(sheet->IsVisible());
    EXPECT_EQ(0, oneCounts.apply);

    sheet->Show(SW_SHOW);
    one->acceptApply = false;
    Click(one, IDC_PAGE_ONE_OK);
    EXPECT_TRUE(sheet->IsVisible());  // invalid input: stays open
    one->acceptApply = true;
    Click(one, IDC_PAGE_ONE_OK);
    EXPECT_FALSE(sheet->IsVisible());
    EXPECT_EQ(2, oneCounts.apply);
    EXPECT_TRUE(IsWindow(sheet->GetHwnd()));
}

TEST_F(PropertySheetTest, HideOnCloseKeepsTheSheetForCloseBoxCancelAndOk)
{
    CPropertySheet::SheetArgs args;
    args.hideOnClose = true;
    args.contextHelpButton = true;
    Build(args);
    EXPECT_TRUE(GetWindowLongPtrA(sheet->GetHwnd(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);

    sheet->Show(SW_SHOW);
    sheet->Send(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(sheet->IsVisible());

    sheet->Show(SW_SHOW);
    sheet->Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(sheet->IsVisible());
    EXPECT_EQ(0, oneCounts.reset);

    sheet->Show(SW_SHOW);
    sheet->Send(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(sheet->IsVisible());
    EXPECT_EQ(1, oneCounts.apply);

    // Still a working sheet.
    EXPECT_EQ(0, sheet->GetActiveIndex());
    EXPECT_EQ(1, sheet->SetActivePage(1));
}

TEST_F(PropertySheetTest, CancelledSheetWithoutHideOnCloseIsDestroyed)
{
    Build();
    HWND hwnd = sheet->GetHwnd();
    sheet->Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(1, oneCounts.reset);
    // The next message through the loop sees that the sheet ended itself.
    MSG msg = {};
    msg.hwnd = hwnd;
    msg.message = WM_NULL;
    EXPECT_EQ(1, sheet->PreTranslateMessage(msg));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, sheet->GetHwnd());
    EXPECT_EQ(nullptr, one->GetHwnd());
}

TEST_F(PropertySheetTest, WithoutStandardButtonsTheSheetIsShorter)
{
    CPropertySheet::SheetArgs args;
    args.standardButtons = false;
    Build(args);
    for (int id : {IDOK, IDCANCEL, 0x3021}) {
        HWND button = GetDlgItem(sheet->GetHwnd(), id);
        EXPECT_TRUE(button == nullptr || !IsWindowVisible(button)) << id;
    }
    HWND tab = reinterpret_cast<HWND>(sheet->Send(PSM_GETTABCONTROL));
    ASSERT_NE(nullptr, tab);
    RECT client = {};
    RECT tabRect = {};
    GetClientRect(sheet->GetHwnd(), &client);
    GetWindowRect(tab, &tabRect);
    MapWindowPoints(nullptr, sheet->GetHwnd(), reinterpret_cast<POINT*>(&tabRect), 2);
    EXPECT_EQ(tabRect.top, client.bottom - tabRect.bottom);
}

TEST_F(PropertySheetTest, PagesAddedLaterAndRemovedPagesAreDeleted)
{
    Build();
    PageCounts thirdCounts;
    TestPage* third = static_cast<TestPage*>(sheet->AddPage(std::make_unique<TestPage>(IDD_PAGE_TWO, thirdCounts)));
    ASSERT_NE(nullptr, third);
    HWND tab = reinterpret_cast<HWND>(sheet->Send(PSM_GETTABCONTROL));
    EXPECT_EQ(3, TabCtrl_GetItemCount(tab));
    EXPECT_EQ(1, sheet->SetActivePage(2));
    EXPECT_EQ(1, thirdCounts.setActive);
    HWND thirdWindow = third->GetHwnd();

    sheet->RemoveAllPages();
    EXPECT_EQ(0, sheet->GetPageCount());
    EXPECT_EQ(1, oneCounts.destroyed);
    EXPECT_EQ(1, twoCounts.destroyed);
    EXPECT_EQ(1, thirdCounts.destroyed);
    EXPECT_FALSE(IsWindow(thirdWindow));
    EXPECT_TRUE(IsWindow(sheet->GetHwnd()));
}

TEST_F(PropertySheetTest, DeletingTheSheetDestroysItsWindowAndPages)
{
    Build();
    sheet->SetActivePage(1);
    HWND hwnd = sheet->GetHwnd();
    HWND page = two->GetHwnd();
    sheet.reset();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(1, oneCounts.destroyed);
    EXPECT_EQ(1, twoCounts.destroyed);
}

TEST_F(PropertySheetTest, ExceptionInAPageHandlerIsReportedAndTheSheetLives)
{
    ReportCapture capture;
    Build();
    one->throwInApply = true;
    sheet->Apply();
    ASSERT_EQ(1u, capture.Lines().size());
    EXPECT_NE(std::string::npos, capture.Lines()[0].find("apply failed on purpose"));
    EXPECT_TRUE(IsWindow(sheet->GetHwnd()));
    one->throwInApply = false;
    EXPECT_EQ(1, sheet->Apply());
}
