// The hide-icon rules dialog, driven through its controls: on its own
// (modeless, so the test can act between clicks) and opened from the page.
#include "IconsPageFixture.h"

#include "hook/HookProtocol.h"
#include "icons/DesktopIcons.h"
#include "pages/HideIconsDialog.h"

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

const char kHeader[] = "KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\n";

class HideIconsDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        BoxRecorder::Reset();
        LogResetState();
        LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    }
    void TearDown() override
    {
        dialog.reset();
        LogResetState();
    }

    void Open(const std::string& file = std::string())
    {
        if (!file.empty())
            WriteBytes(dir.File("IconHide.txt"), file);
        icons.LoadHideRules();
        dialog = std::make_unique<CHideIconsDialog>(icons);
        dialog->SetMessageBox(&BoxRecorder::Show);
        ASSERT_EQ(1, dialog->CreateModeless(nullptr));
    }
    HWND Dialog() const { return dialog->GetHwnd(); }
    void Click(int id) { ClickButton(Dialog(), id); }
    bool Enabled(int id) const { return IsEnabled(Dialog(), id); }
    void Type(const std::string& text) { TypeText(Dialog(), IDC_HIDE_PATTERN, text); }
    void Kind(int index) { SendDlgItemMessageA(Dialog(), IDC_HIDE_KIND, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
    int KindShown() const { return static_cast<int>(SendDlgItemMessageA(Dialog(), IDC_HIDE_KIND, CB_GETCURSEL, 0, 0)); }
    Strings Listed() const { return ListItems(Dialog(), IDC_HIDE_LIST); }
    bool Select(const std::string& pattern) { return SelectListItem(Dialog(), IDC_HIDE_LIST, pattern); }
    std::string File() const { return ReadBytes(dir.File("IconHide.txt")); }
    size_t Reloads() const { return host.Sent(HOOKMSG_RELOAD_HIDE_RULES).size(); }

    TempDir dir;
    TestRegistry registry{testing::UnitTest::GetInstance()->current_test_info()->name()};
    TestPageHost host{dir.Path(), registry.Roots()};
    CDesktopIcons icons{host, std::make_unique<TestIconsHost>()};
    std::unique_ptr<CHideIconsDialog> dialog;
};

}  // namespace

TEST_F(HideIconsDialogTest, OpensWithTheRulesSortedAndOnlyTheKindAndPatternToChoose)
{
    Open(std::string(kHeader) + "ENTRY_0\tzebra\t0\r\nENTRY_1\tApple\t1\r\nENTRY_2\tmango\t0\r\n");
    EXPECT_EQ((Strings{"Apple", "mango", "zebra"}), Listed());
    EXPECT_FALSE(Enabled(IDC_HIDE_ADD));
    EXPECT_FALSE(Enabled(IDC_HIDE_REPLACE));
    EXPECT_FALSE(Enabled(IDC_HIDE_DELETE));
    EXPECT_EQ(0, KindShown());
    EXPECT_EQ("ICON LABEL", WindowText(GetDlgItem(Dialog(), IDC_HIDE_KIND)));
    char item[32] = {};
    SendDlgItemMessageA(Dialog(), IDC_HIDE_KIND, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ("ICON REFERENCE", item);
    EXPECT_EQ("Hide Icons", WindowText(Dialog()));
}

TEST_F(HideIconsDialogTest, AddAppendsANewPatternWithTheChosenKindAndOkWritesAndTellsTheHook)
{
    Open(std::string(kHeader) + "ENTRY_0\tzebra\t0\r\n");
    Type("notepad.exe");
    EXPECT_TRUE(Enabled(IDC_HIDE_ADD));
    Kind(1);
    Click(IDC_HIDE_ADD);
    EXPECT_EQ((Strings{"notepad.exe", "zebra"}), Listed());
    EXPECT_EQ(0u, Reloads()) << "nothing is written before OK";
    Click(IDC_HIDE_OK);
    EXPECT_EQ(nullptr, dialog->GetHwnd());
    EXPECT_EQ(std::string(kHeader) + "ENTRY_0\tzebra\t0\r\nENTRY_1\tnotepad.exe\t1\r\n", File());
    EXPECT_EQ(1u, Reloads());
}

TEST_F(HideIconsDialogTest, AnExistingPatternIsNotAddedAgainWhateverTheKind)
{
    Open(std::string(kHeader) + "ENTRY_0\tzebra\t0\r\n");
    Type("zebra");
    Kind(1);
    Click(IDC_HIDE_ADD);
    EXPECT_EQ((Strings{"zebra"}), Listed());
    EXPECT_TRUE(BoxRecorder::boxes.empty());
    Click(IDC_HIDE_OK);
    // Unchanged: no write, nothing told.
    EXPECT_EQ(std::string(kHeader) + "ENTRY_0\tzebra\t0\r\n", File());
    EXPECT_EQ(0u, Reloads());
}

TEST_F(HideIconsDialogTest, SelectingARuleShowsItAndEnablesItsButtons)
{
    Open(std::string(kHeader) + "ENTRY_0\tzebra\t0\r\nENTRY_1\tcalc.exe\t1\r\n");
    ASSERT_TRUE(Select("calc.exe"));
    EXPECT_EQ("calc.exe", WindowText(GetDlgItem(Dialog(), IDC_HIDE_PATTERN)));
    EXPECT_EQ(1, KindShown());
    EXPECT_TRUE(Enabled(IDC_HIDE_ADD));
    EXPECT_TRUE(Enabled(IDC_HIDE_REPLACE));
    EXPECT_TRUE(Enabled(IDC_HIDE_DELETE));
    ASSERT_TRUE(Select("zebra"));
    EXPECT_EQ(0, KindShown());
}

TEST_F(HideIconsDialogTest, ReplaceMovesTheEditedRuleToTheEndOfTheFile)
{
    Open(std::string(kHeader) + "ENTRY_0\ta\t0\r\nENTRY_1\tb\t0\r\nENTRY_2\tc\t0\r\n");
    ASSERT_TRUE(Select("a"));
    Type("A*");
    Kind(1);
    Click(IDC_HIDE_REPLACE);
    EXPECT_EQ((Strings{"A*", "b", "c"}), Listed());
    EXPECT_FALSE(Enabled(IDC_HIDE_REPLACE));
    EXPECT_FALSE(Enabled(IDC_HIDE_DELETE));
    Click(IDC_HIDE_OK);
    EXPECT_EQ(std::string(kHeader) + "ENTRY_0\tb\t0\r\nENTRY_1\tc\t0\r\nENTRY_2\tA*\t1\r\n", File());
}

TEST_F(HideIconsDialogTest, DeleteRemovesTheSelectedRuleAndEmptiesThePattern)
{
    Open(std::string(kHeader) + "ENTRY_0\ta\t0\r\nENTRY_1\tb\t1\r\nENTRY_2\tc\t0\r\n");
    ASSERT_TRUE(Select("a"));
    Click(IDC_HIDE_DELETE);
    EXPECT_EQ((Strings{"b", "c"}), Listed());
    EXPECT_EQ("", WindowText(GetDlgItem(Dialog(), IDC_HIDE_PATTERN)));
    EXPECT_FALSE(Enabled(IDC_HIDE_DELETE));
    EXPECT_FALSE(Enabled(IDC_HIDE_ADD));
    Click(IDC_HIDE_OK);
    EXPECT_EQ(std::string(kHeader) + "ENTRY_0\tb\t1\r\nENTRY_1\tc\t0\r\n", File());
    EXPECT_EQ(1u, Reloads());
}

TEST_F(HideIconsDialogTest, OkOnAnEmptyListAsksAndNoKeepsTheDialogOpen)
{
    Open();
    Click(IDC_HIDE_OK);
    ASSERT_EQ(2u, BoxRecorder::boxes.size());
    EXPECT_EQ("Do you want to hide all icons?", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Question", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), BoxRecorder::boxes[0].type);
    EXPECT_EQ("Please specify at least one icon to hide!", BoxRecorder::boxes[1].text);
    EXPECT_EQ("Notice", BoxRecorder::boxes[1].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), BoxRecorder::boxes[1].type);
    EXPECT_NE(nullptr, dialog->GetHwnd());
    EXPECT_FALSE(FileExists(dir.File("IconHide.txt")));

    BoxRecorder::Reset();
    BoxRecorder::answers = {IDYES};
    Click(IDC_HIDE_OK);
    EXPECT_EQ(nullptr, dialog->GetHwnd());
    EXPECT_EQ(std::string(kHeader) + "ENTRY_0\t*.*\t0\r\n", File());
    EXPECT_EQ(1u, Reloads());
}

TEST_F(HideIconsDialogTest, CancelWritesNothingAndForgetsTheChanges)
{
    const std::string before = std::string(kHeader) + "ENTRY_0\ta\t0\r\n";
    Open(before);
    Type("b");
    Click(IDC_HIDE_ADD);
    ASSERT_TRUE(Select("a"));
    Click(IDC_HIDE_DELETE);
    Click(IDC_HIDE_CANCEL);
    EXPECT_EQ(nullptr, dialog->GetHwnd());
    EXPECT_EQ(before, File());
    EXPECT_EQ(0u, Reloads());
    EXPECT_TRUE(icons.HasHideRule("a"));
    EXPECT_FALSE(icons.HasHideRule("b"));
    // A later save does not write what was cancelled.
    icons.HideByLabel("c", 0);
    EXPECT_EQ(before + "ENTRY_1\tc\t0\r\n", File());
}

TEST_F(HideIconsDialogTest, PatternsThatCannotBeStoredAreRefusedWithAMessage)
{
    const std::string before = std::string(kHeader) + "ENTRY_0\ta\t0\r\n";
    Open(before);
    for (const std::string& pattern : {std::string(2000, 'p'), std::string("tab\there")}) {
        BoxRecorder::Reset();
        Type(pattern);
        Click(IDC_HIDE_ADD);
        ASSERT_EQ(1u, BoxRecorder::boxes.size());
        EXPECT_EQ("Error", BoxRecorder::boxes[0].caption);
        ASSERT_TRUE(Select("a"));
        Type(pattern);
        Click(IDC_HIDE_REPLACE);
        EXPECT_EQ(2u, BoxRecorder::boxes.size());
        EXPECT_EQ((Strings{"a"}), Listed());
    }
    // Typing stops at the longest pattern; pasted or set text is checked.
    EXPECT_EQ(static_cast<LRESULT>(CHideRuleList::kMaxPatternChars),
              SendDlgItemMessageA(Dialog(), IDC_HIDE_PATTERN, EM_GETLIMITTEXT, 0, 0));
    Click(IDC_HIDE_OK);
    EXPECT_EQ(before, File());
}

TEST_F(HideIconsDialogTest, TheListScrollsSidewaysAsFarAsTheLongestPattern)
{
    Open(std::string(kHeader) + "ENTRY_0\tshort\t0\r\n");
    const LRESULT narrow = SendDlgItemMessageA(Dialog(), IDC_HIDE_LIST, LB_GETHORIZONTALEXTENT, 0, 0);
    Type(std::string(120, 'W'));
    Click(IDC_HIDE_ADD);
    const LRESULT wide = SendDlgItemMessageA(Dialog(), IDC_HIDE_LIST, LB_GETHORIZONTALEXTENT, 0, 0);
    EXPECT_GT(narrow, 0);
    EXPECT_GT(wide, narrow * 10);
}

TEST_F(HideIconsDialogTest, AFileThatCannotBeWrittenLeavesTheHookUntold)
{
    TestPageHost nowhere(dir.File("missing folder"), registry.Roots());
    CDesktopIcons rules(nowhere, std::make_unique<TestIconsHost>());
    rules.LoadHideRules();
    rules.HideByLabel("Recycle Bin", 0);
    EXPECT_TRUE(rules.HasHideRule("Recycle Bin"));
    EXPECT_TRUE(nowhere.Sent(HOOKMSG_RELOAD_HIDE_RULES).empty());
    const std::string log = ReadBytes(dir.File("ErrorLog.txt"));
    EXPECT_NE(std::string::npos, log.find("Cannot read IconHide.txt file"));
    EXPECT_NE(std::string::npos, log.find("Cannot create IconHide.txt file"));
}

TEST_F(IconsPageTest, IconsOpensTheRulesDialogOverTheSheetOnceAtATime)
{
    Start();
    Click(IDC_ICONS_HIDE);
    int dialogsAfterSecondClick = 0;
    bool sheetEnabled = true;
    const bool seen = DriveModal([this] { Click(IDC_ICONS_HIDE_RULES); }, "Hide Icons",
                                 [&](HWND rules) {
                                     // The sheet is disabled under the dialog; a second "Icons..." that
                                     // reached the page anyway opens nothing.
                                     sheetEnabled = IsWindowEnabled(sheet->GetHwnd()) != FALSE;
                                     SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_ICONS_HIDE_RULES, BN_CLICKED),
                                                  reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_ICONS_HIDE_RULES)));
                                     dialogsAfterSecondClick = CountThreadWindows("Hide Icons");
                                     TypeText(rules, IDC_HIDE_PATTERN, "Recycle Bin");
                                     ClickButton(rules, IDC_HIDE_ADD);
                                     ClickButton(rules, IDC_HIDE_OK);
                                 });
    ASSERT_TRUE(seen) << "the rules dialog was not seen";
    EXPECT_EQ(1, dialogsAfterSecondClick);
    EXPECT_FALSE(sheetEnabled);
    EXPECT_EQ(std::string(kHeader) + "ENTRY_0\tRecycle Bin\t0\r\n", ReadBytes(dir.File("IconHide.txt")));
    EXPECT_EQ(1u, host->Sent(HOOKMSG_RELOAD_HIDE_RULES).size());
    EXPECT_TRUE(owner->HasHideRule("Recycle Bin"));
    EXPECT_TRUE(IsWindowEnabled(sheet->GetHwnd()));
}
