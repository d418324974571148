// The Icons page's settings: what it shows, what Apply and Cancel do, and
// the hide switches other pages use.
#include "IconsPageFixture.h"

#include "hook/HookProtocol.h"

#include <string>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

}  // namespace

TEST_F(IconsPageTest, WithNoStoredValuesThePageShowsTheDefaults)
{
    Start(false);
    EXPECT_EQ("Large Icons", Text(IDC_ICONS_STYLE));
    EXPECT_EQ(2, SendDlgItemMessageA(Page(), IDC_ICONS_STYLE, CB_GETCOUNT, 0, 0));
    EXPECT_FALSE(Checked(IDC_ICONS_CLEAR));
    EXPECT_EQ(RGB(255, 255, 255), Swatch(IDC_ICONS_FOREGROUND));
    EXPECT_EQ(RGB(0, 0, 0), Swatch(IDC_ICONS_BACKGROUND));
    EXPECT_TRUE(Checked(IDC_ICONS_ADJUST));
    EXPECT_TRUE(Checked(IDC_ICONS_SHIFTING));
    EXPECT_FALSE(Checked(IDC_ICONS_HIDE));
    EXPECT_TRUE(Checked(IDC_ICONS_POSITIONS));
    EXPECT_FALSE(Checked(IDC_ICONS_SHORTCUTS));
    // Opaque labels: the background colour can be chosen; hiding is off.
    EXPECT_TRUE(Enabled(IDC_ICONS_BACKGROUND));
    EXPECT_TRUE(Enabled(IDC_ICONS_BACK_LABEL));
    EXPECT_FALSE(Enabled(IDC_ICONS_HIDE_RULES));
    EXPECT_TRUE(Enabled(IDC_ICONS_OK));
    EXPECT_FALSE(Enabled(IDC_ICONS_APPLY));
    // Start-up saved the desktop as found, and there is no default layout to load.
    ASSERT_EQ(1u, host->requests.size());
    EXPECT_EQ(HOOKMSG_SAVE_POSITIONS, host->requests[0].code);
    EXPECT_EQ("[original].dvl", host->requests[0].text);
}

TEST_F(IconsPageTest, StoredValuesAreShownAndTheStyleIsReadFromItsFirstByteOnly)
{
    const char style[4] = {1, 0, 0, 1};
    registry.Write("Property Icon Style", REG_BINARY, style, 4);
    const char off = 0;
    registry.Write("Property Icon Text Background", REG_BINARY, &off, 1);
    const DWORD red = RGB(255, 0, 0);
    registry.Write("Property Icon Text Foreground Color", REG_BINARY, &red, 4);
    Start();
    EXPECT_EQ("Small Icons", Text(IDC_ICONS_STYLE));
    EXPECT_TRUE(Checked(IDC_ICONS_CLEAR));
    EXPECT_FALSE(Enabled(IDC_ICONS_BACKGROUND));
    EXPECT_FALSE(Enabled(IDC_ICONS_BACK_LABEL));
    EXPECT_EQ(red, Swatch(IDC_ICONS_FOREGROUND));
    // Bytes 1 to 3 of the style value belong to the settings after it.
    EXPECT_TRUE(Checked(IDC_ICONS_ADJUST));
    EXPECT_TRUE(Checked(IDC_ICONS_POSITIONS));
}

TEST_F(IconsPageTest, CheckingClearDisablesTheBackgroundAndApplyStoresIt)
{
    Start();
    Click(IDC_ICONS_CLEAR);
    EXPECT_FALSE(Enabled(IDC_ICONS_BACKGROUND));
    EXPECT_FALSE(Enabled(IDC_ICONS_BACK_LABEL));
    EXPECT_TRUE(Enabled(IDC_ICONS_APPLY));
    Click(IDC_ICONS_APPLY);
    EXPECT_FALSE(Enabled(IDC_ICONS_APPLY));
    EXPECT_EQ(0, host->settings.textBackgroundOpaque);
    ASSERT_EQ(1u, host->settingsSent.size());
    EXPECT_EQ(0, host->settingsSent[0].settings.textBackgroundOpaque);
    // Sent to the hook library first, then written.
    EXPECT_FALSE(host->settingsSent[0].styleStoredBefore);
    EXPECT_EQ(Bytes({0}), registry.Stored("Property Icon Text Background"));
    Click(IDC_ICONS_CLEAR);
    EXPECT_TRUE(Enabled(IDC_ICONS_BACKGROUND));
}

TEST_F(IconsPageTest, HideIconsEnablesTheRulesButton)
{
    Start();
    Click(IDC_ICONS_HIDE);
    EXPECT_TRUE(Enabled(IDC_ICONS_HIDE_RULES));
    EXPECT_TRUE(Enabled(IDC_ICONS_APPLY));
    Click(IDC_ICONS_HIDE);
    EXPECT_FALSE(Enabled(IDC_ICONS_HIDE_RULES));
}

TEST_F(IconsPageTest, KeepingALayoutForEachScreenSizeGoesWithAdjustingAndApplyStoresIt)
{
    Start();
    EXPECT_TRUE(Checked(IDC_ICONS_SNAPSHOTS));
    Click(IDC_ICONS_ADJUST);
    EXPECT_FALSE(Enabled(IDC_ICONS_SNAPSHOTS));
    Click(IDC_ICONS_ADJUST);
    Click(IDC_ICONS_SNAPSHOTS);
    EXPECT_TRUE(Enabled(IDC_ICONS_APPLY));
    Click(IDC_ICONS_APPLY);
    EXPECT_EQ(Bytes({0}), registry.Stored("Property Icon Keep Screen Layouts"));
    ASSERT_EQ(1u, host->settingsSent.size());
    EXPECT_EQ(0, host->settingsSent[0].settings.keepSnapshots);
}

TEST_F(IconsPageTest, ReselectingTheStoredStyleIsNoChange)
{
    Start();
    SelectStyle(0);
    EXPECT_FALSE(Enabled(IDC_ICONS_APPLY));
    SelectStyle(1);
    EXPECT_TRUE(Enabled(IDC_ICONS_APPLY));
}

TEST_F(IconsPageTest, TheStyleValueHoldsTheThreeSettingsAfterIt)
{
    Start();
    SelectStyle(1);
    Click(IDC_ICONS_SHORTCUTS);
    ASSERT_TRUE(Checked(IDC_ICONS_ADJUST));
    ASSERT_TRUE(Checked(IDC_ICONS_SHIFTING));
    Click(IDC_ICONS_APPLY);
    EXPECT_EQ(Bytes({1, 1, 1, 1}), registry.Stored("Property Icon Style"));
    EXPECT_EQ(Bytes({1}), registry.Stored("Property Icon List Type"));
    EXPECT_EQ(Bytes({1}), registry.Stored("Property Icon Restore On Res"));
    EXPECT_EQ(Bytes({0}), registry.Stored("Property Icon Hide Enabled"));
    EXPECT_EQ(Bytes({1}), registry.Stored("Property Icon Text Background"));
    EXPECT_EQ(Bytes({0, 0, 0, 0}), registry.Stored("Property Icon Text Background Color"));
    EXPECT_EQ(Bytes({255, 255, 255, 0}), registry.Stored("Property Icon Text Foreground Color"));
    ASSERT_EQ(1u, host->settingsSent.size());
    EXPECT_EQ(1, host->settingsSent[0].settings.iconStyle);
}

TEST_F(IconsPageTest, CancelDiscardsTheControlsAndSendsAndStoresNothing)
{
    Start();
    sheet->Show(SW_SHOW);
    Click(IDC_ICONS_HIDE);
    SelectStyle(1);
    Click(IDC_ICONS_ADJUST);
    Click(IDC_ICONS_CANCEL);
    EXPECT_FALSE(sheet->IsVisible());
    EXPECT_TRUE(host->settingsSent.empty());
    EXPECT_EQ(kMissingValue, registry.Stored("Property Icon Style"));
    EXPECT_EQ(0, host->settings.hideEnabled);
    // The next visit shows the settings again.
    sheet->Show(SW_SHOW);
    Reactivate();
    EXPECT_FALSE(Checked(IDC_ICONS_HIDE));
    EXPECT_EQ("Large Icons", Text(IDC_ICONS_STYLE));
    EXPECT_TRUE(Checked(IDC_ICONS_ADJUST));
    EXPECT_FALSE(Enabled(IDC_ICONS_APPLY));
}

TEST_F(IconsPageTest, OkAppliesAndHidesTheSheet)
{
    Start();
    sheet->Show(SW_SHOW);
    Click(IDC_ICONS_SHIFTING);
    Click(IDC_ICONS_OK);
    EXPECT_FALSE(sheet->IsVisible());
    EXPECT_EQ(0, host->settings.adjustByPixel);
    EXPECT_EQ(Bytes({0}), registry.Stored("Property Icon Adjust By Pixel"));
    EXPECT_EQ(1u, host->settingsSent.size());
}

TEST_F(IconsPageTest, AChosenColourIsKeptAtOnceAndSentWithTheNextApply)
{
    Start();
    ColourRecorder::accept = true;
    ColourRecorder::colour = RGB(10, 20, 30);
    ClickSwatch(IDC_ICONS_FOREGROUND);
    EXPECT_EQ(1, ColourRecorder::calls);
    EXPECT_EQ(RGB(255, 255, 255), ColourRecorder::shown);
    EXPECT_EQ(RGB(10, 20, 30), Swatch(IDC_ICONS_FOREGROUND));
    EXPECT_EQ(RGB(10, 20, 30), host->settings.textForeground);
    EXPECT_TRUE(Enabled(IDC_ICONS_APPLY));

    Click(IDC_ICONS_CANCEL);
    EXPECT_TRUE(host->settingsSent.empty());
    EXPECT_EQ(RGB(10, 20, 30), host->settings.textForeground);
    Reactivate();
    EXPECT_EQ(RGB(10, 20, 30), Swatch(IDC_ICONS_FOREGROUND));
    Click(IDC_ICONS_HIDE);
    Click(IDC_ICONS_APPLY);
    ASSERT_EQ(1u, host->settingsSent.size());
    EXPECT_EQ(RGB(10, 20, 30), host->settingsSent[0].settings.textForeground);
}

TEST_F(IconsPageTest, ACancelledColourDialogChangesNothing)
{
    Start();
    ColourRecorder::accept = false;
    // A click of the mouse on the swatch itself.
    HWND swatch = GetDlgItem(Page(), IDC_ICONS_BACKGROUND);
    PostMessageA(swatch, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(swatch, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    MSG msg = {};
    for (int i = 0; i < 100 && ColourRecorder::calls == 0; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (ColourRecorder::calls == 0)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    EXPECT_EQ(1, ColourRecorder::calls);
    EXPECT_EQ(RGB(0, 0, 0), host->settings.textBackground);
    EXPECT_FALSE(Enabled(IDC_ICONS_APPLY));
}

TEST_F(IconsPageTest, SetHideEnabledSendsStoresAndShowsIt)
{
    Start();
    owner->SetHideEnabled(true);
    EXPECT_TRUE(Checked(IDC_ICONS_HIDE));
    EXPECT_TRUE(Enabled(IDC_ICONS_HIDE_RULES));
    ASSERT_EQ(1u, host->settingsSent.size());
    EXPECT_EQ(1, host->settingsSent[0].settings.hideEnabled);
    EXPECT_EQ(Bytes({1}), registry.Stored("Property Icon Hide Enabled"));
}

TEST_F(IconsPageTest, HideByLabelTurnsHidingOnAndAddsTheRuleAtOnce)
{
    Start();
    owner->HideByLabel("Recycle Bin", 0);
    EXPECT_EQ(1, host->settings.hideEnabled);
    EXPECT_EQ(Bytes({1}), registry.Stored("Property Icon Hide Enabled"));
    EXPECT_EQ(1u, host->settingsSent.size());
    EXPECT_TRUE(owner->HasHideRule("Recycle Bin"));
    EXPECT_FALSE(owner->HasHideRule("recycle bin"));
    EXPECT_EQ(1u, host->Sent(HOOKMSG_RELOAD_HIDE_RULES).size());
    EXPECT_EQ("KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\nENTRY_0\tRecycle Bin\t0\r\n",
              ReadBytes(dir.File("IconHide.txt")));

    // Adding it again changes nothing: the file is not written, the hook
    // library not told.
    owner->HideByLabel("Recycle Bin", 1);
    EXPECT_EQ(1u, host->Sent(HOOKMSG_RELOAD_HIDE_RULES).size());
    owner->UnhideByLabel("Recycle Bin");
    EXPECT_FALSE(owner->HasHideRule("Recycle Bin"));
    EXPECT_EQ(2u, host->Sent(HOOKMSG_RELOAD_HIDE_RULES).size());
    EXPECT_EQ("KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\n", ReadBytes(dir.File("IconHide.txt")));
    // Removing a rule that is not there writes nothing.
    owner->UnhideByLabel("Recycle Bin");
    EXPECT_EQ(2u, host->Sent(HOOKMSG_RELOAD_HIDE_RULES).size());
}

TEST_F(IconsPageTest, TheRulesAreReadFromTheFileAtStartUp)
{
    WriteBytes(dir.File("IconHide.txt"), "KTX_FILE\tDERVANE ICON HIDE\r\nENTRY_0\tMy Computer\t0\r\n");
    Start();
    EXPECT_TRUE(owner->HasHideRule("My Computer"));
    EXPECT_TRUE(host->Sent(HOOKMSG_RELOAD_HIDE_RULES).empty());
}
