#include "framework/Dialog.h"

#include "TestResources.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const UINT kEndWith42 = 950;
const UINT kThrow = 951;
const UINT_PTR kSafetyTimer = 99;
const INT_PTR kTimedOut = -99;

// The test dialog: a safety timer ends it if nothing else does, so no test
// can hang in the modal loop.
class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_TEST_DIALOG) { }
    std::string textAtOk;
    bool checkedAtOk = false;
    int inits = 0;
    UINT postAtInit = 0;

protected:
    int OnInitDialog() override
    {
        ++inits;
        SetTimer(GetHwnd(), kSafetyTimer, 5000, nullptr);
        SetItemText(IDC_TEST_EDIT, "initial");
        CheckItem(IDC_TEST_CHECK, true);
        if (postAtInit)
            PostMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(postAtInit, BN_CLICKED), 0);
        return 1;
    }
    int OnTimer(UINT_PTR id) override
    {
        if (id != kSafetyTimer)
            return 0;
        EndDialog(kTimedOut);
        return 1;
    }
    int OnCommand(UINT id, UINT code, HWND control) override
    {
        if (id == kEndWith42) {
            EndDialog(42);
            return 1;
        }
        if (id == kThrow)
            throw std::runtime_error("dialog handler failed on purpose");
        return CDialog::OnCommand(id, code, control);
    }
    void OnOK() override
    {
        textAtOk = GetItemText(IDC_TEST_EDIT);
        checkedAtOk = IsItemChecked(IDC_TEST_CHECK);
        CDialog::OnOK();
    }
};

}  // namespace

TEST(ModalDialog, EndsWithTheResultOfAPostedCommand)
{
    TestDialog dialog;
    dialog.postAtInit = kEndWith42;
    EXPECT_EQ(42, dialog.DoModal(nullptr));
    EXPECT_EQ(1, dialog.inits);
    EXPECT_EQ(nullptr, dialog.GetHwnd());
    EXPECT_FALSE(dialog.IsModal());
}

TEST(ModalDialog, OkAndCancelEndWithTheirIdsAndOkSeesTheControls)
{
    TestDialog ok;
    ok.postAtInit = IDOK;
    EXPECT_EQ(IDOK, ok.DoModal(nullptr));
    EXPECT_EQ("initial", ok.textAtOk);
    EXPECT_TRUE(ok.checkedAtOk);

    TestDialog cancel;
    cancel.postAtInit = IDCANCEL;
    EXPECT_EQ(IDCANCEL, cancel.DoModal(nullptr));
    EXPECT_EQ("", cancel.textAtOk);
}

TEST(ModalDialog, ExceptionInHandlerIsReportedAndTheDialogCarriesOn)
{
    ReportCapture capture;
    // After the failed command, the next one ends the dialog.
    struct Ender : TestDialog {
        int OnInitDialog() override
        {
            TestDialog::OnInitDialog();
            PostMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(kEndWith42, 0), 0);
            return 1;
        }
    } ender;
    ender.postAtInit = kThrow;
    EXPECT_EQ(42, ender.DoModal(nullptr));
    ASSERT_EQ(1u, capture.Lines().size());
    EXPECT_NE(std::string::npos, capture.Lines()[0].find("dialog handler failed on purpose"));
}

TEST(ModalDialog, MissingTemplateAnswersMinusOne)
{
    ReportCapture capture;
    class Missing : public CDialog {
    public:
        Missing() : CDialog(31999) { }
    } dialog;
    EXPECT_EQ(-1, dialog.DoModal(nullptr));
    EXPECT_FALSE(capture.Lines().empty());
}

TEST(ModelessDialog, LivesUntilCancelledAndTakesItsKeyboardMessages)
{
    TestDialog dialog;
    ASSERT_EQ(1, dialog.CreateModeless(nullptr));
    HWND hwnd = dialog.GetHwnd();
    ASSERT_TRUE(IsWindow(hwnd));
    EXPECT_EQ(1, dialog.inits);
    EXPECT_EQ("initial", dialog.GetItemText(IDC_TEST_EDIT));

    // Escape in the edit control: the dialog manager turns it into IDCANCEL,
    // which destroys a modeless dialog.
    MSG msg = {};
    msg.hwnd = dialog.GetItem(IDC_TEST_EDIT);
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_ESCAPE;
    EXPECT_EQ(1, CWindow::FromHandle(GetAncestor(msg.hwnd, GA_ROOT))->PreTranslateMessage(msg));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, dialog.GetHwnd());
}

TEST(ModelessDialog, DestructorDestroysTheWindow)
{
    HWND hwnd = nullptr;
    {
        TestDialog dialog;
        ASSERT_EQ(1, dialog.CreateModeless(nullptr));
        hwnd = dialog.GetHwnd();
    }
    EXPECT_FALSE(IsWindow(hwnd));
}
