// The Respond page in a property sheet over the real auto-respond feature,
// with the test host in place of the program, the real rule editor, and an
// engine that records what it is told (with Respond.txt as it stood at each
// word).
#include "IconsTestSupport.h"
#include "PagesTestResources.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "framework/ProcessPaths.h"
#include "framework/PropertySheet.h"
#include "pages/RespondPage.h"
#include "pages/RespondResource.h"
#include "respond/AutoRespondFeature.h"
#include "respond/RespondEntryResource.h"
#include "tests/common/TempDir.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

const char kHeader[] = "KTX_FILE\tDERVANE RESPOND\r\nVERSION\t1.0\r\n";

std::string RuleRecords(int i, const std::string& title, const std::string& text)
{
    const std::string entry = "ENTRY_" + std::to_string(i);
    return entry + "\t" + title + "\t0\t" + text + "\t3\t0\r\n" + entry + "_ACTION_0\t5\t\t0\t0\r\n" + entry +
        "_ACTION_1\t#%#\r\n";
}

class RecordingEngine : public IRespondEngine {
public:
    RecordingEngine(Strings& said, std::string file, HWND* player = nullptr)
        : m_said(said), m_file(std::move(file)), m_player(player)
    {
    }
    void Start(HWND player, const std::string& folder) override
    {
        if (m_player)
            *m_player = player;
        m_said.push_back("start " + folder);
    }
    void Stop() override { m_said.push_back("stop"); }
    void RulesChanged() override
    {
        m_said.push_back("rules " + (FileExists(m_file) ? ReadBytes(m_file) : std::string("(no file)")));
    }

private:
    Strings& m_said;
    std::string m_file;
    HWND* m_player;
};

class RespondPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        BoxRecorder::Reset();
        LogResetState();
        LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
        host.settings.enabled = 1;
    }
    void TearDown() override
    {
        if (respond)
            respond->Stop();
        sheet.reset();
    }

    void Start()
    {
        respond = std::make_unique<CAutoRespondFeature>(host, std::make_unique<RecordingEngine>(said, RuleFile()));
        respond->Start();
        auto editor = std::make_unique<CRespondPage>(host, *respond);
        page = editor.get();
        page->SetMessageBox(&BoxRecorder::Show);
        sheet->AddPage(std::move(editor));
        sheet->AddPage(std::make_unique<BlankPage>());
        ASSERT_EQ(1, CreateTestSheet(*sheet, "Respond Page Test"));
        sheet->SetActivePage(0);
    }
    HWND Page() const { return page->GetHwnd(); }
    HWND List() const { return GetDlgItem(Page(), IDC_RESPOND_LIST); }
    std::string RuleFile() const { return dir.File("Respond.txt"); }
    void StoreByte(const char* name, uint8_t value) { registry.Write(name, REG_BINARY, &value, 1); }
    // The rows' first column, top to bottom.
    Strings Titles() const
    {
        Strings titles;
        const int count = static_cast<int>(SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; row++) {
            char text[256] = {};
            LVITEMA item = {};
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(List(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            titles.push_back(text);
        }
        return titles;
    }
    void SelectRow(int row)
    {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(List(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }
    void ClickHeader(int column)
    {
        NMLISTVIEW click = {};
        click.hdr.hwndFrom = List();
        click.hdr.idFrom = IDC_RESPOND_LIST;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageA(Page(), WM_NOTIFY, IDC_RESPOND_LIST, reinterpret_cast<LPARAM>(&click));
    }

    TempDir dir;
    TestRegistry registry{testing::UnitTest::GetInstance()->current_test_info()->name()};
    TestPageHost host{dir.Path(), registry.Roots()};
    std::unique_ptr<CAutoRespondFeature> respond;
    std::unique_ptr<CPropertySheet> sheet = std::make_unique<CPropertySheet>();
    CRespondPage* page = nullptr;
    Strings said;
};

void ChooseInList(HWND dialog, int id, int index)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool Shown(HWND dialog, int id)
{
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

}  // namespace

TEST_F(RespondPageTest, RulesAreAddedEditedSortedAndDeletedAndTheEngineHearsOfEachOnceTheFileStands)
{
    WriteBytes(RuleFile(),
               std::string(kHeader) + RuleRecords(0, "beta", "x") + RuleRecords(1, "Alpha", "z") +
                   RuleRecords(2, "gamma", "y"));
    StoreByte("Property Respond Enabled", 1);
    Start();
    ASSERT_GE(said.size(), 2u);
    EXPECT_EQ("start " + dir.Path(), said[0]);
    EXPECT_EQ(0u, said[1].find("rules "));
    EXPECT_EQ((Strings{"beta", "Alpha", "gamma"}), Titles());
    EXPECT_FALSE(IsEnabled(Page(), IDC_RESPOND_EDIT));

    // Add: a push of "Yes" on "Save As" windows; a second, empty action is
    // left as "[Select an action]" and so not kept.
    said.clear();
    EXPECT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_RESPOND_ADD); }, "Add Respond Entry",
                           [&](HWND editor) {
                               TypeText(editor, IDC_RESPOND_TITLE, "Save As");
                               ChooseInList(editor, IDC_RESPOND_KIND, kActionPushButton);
                               EXPECT_TRUE(Shown(editor, IDC_RESPOND_LABEL));
                               EXPECT_FALSE(Shown(editor, IDC_RESPOND_SOUND));
                               TypeText(editor, IDC_RESPOND_LABEL, "Yes");
                               TypeText(editor, IDC_RESPOND_DELAY, "250");
                               ClickButton(editor, IDC_RESPOND_NEXT);
                               EXPECT_EQ("Action 2 of 2", WindowText(GetDlgItem(editor, IDC_RESPOND_ACTION_GROUP)));
                               EXPECT_EQ("1000", WindowText(GetDlgItem(editor, IDC_RESPOND_DELAY)));
                               ClickButton(editor, IDC_RESPOND_OK);
                           }));
    EXPECT_EQ((Strings{"beta", "Alpha", "gamma", "Save As"}), Titles());
    EXPECT_TRUE(IsEnabled(Page(), IDC_RESPOND_PAGE_APPLY));
    const std::string added =
        "ENTRY_3\tSave As\t0\t\t3\t0\r\nENTRY_3_ACTION_0\t1\tYes\t0\t250\r\nENTRY_3_ACTION_1\t#%#\r\n";
    ASSERT_EQ(1u, said.size());
    EXPECT_NE(std::string::npos, said[0].find(added)) << "told before the file was written: " << said[0];

    // The same title again, in capitals: refused, and said so.
    said.clear();
    EXPECT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_RESPOND_ADD); }, "Add Respond Entry",
                           [&](HWND editor) {
                               TypeText(editor, IDC_RESPOND_TITLE, "SAVE AS");
                               ClickButton(editor, IDC_RESPOND_OK);
                           }));
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Notice", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(4u, Titles().size());
    EXPECT_TRUE(said.empty());

    // Editing the first rule moves it to the end of the file and the list.
    SelectRow(0);
    EXPECT_TRUE(IsEnabled(Page(), IDC_RESPOND_EDIT));
    std::string caption;
    EXPECT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_RESPOND_EDIT); }, "Edit Respond Entry",
                           [&](HWND editor) {
                               caption = WindowText(GetDlgItem(editor, IDC_RESPOND_ACTION_GROUP));
                               TypeText(editor, IDC_RESPOND_TEXT, "changed");
                               ClickButton(editor, IDC_RESPOND_OK);
                           }));
    EXPECT_EQ("Action 1 of 1", caption);
    EXPECT_EQ((Strings{"Alpha", "gamma", "Save As", "beta"}), Titles());
    EXPECT_NE(std::string::npos, ReadBytes(RuleFile()).find("ENTRY_3\tbeta\t0\tchanged\t3\t0\r\n"));

    // A click on the title's header sorts by title without regard to case;
    // Apply keeps the order.
    ClickHeader(0);
    EXPECT_EQ((Strings{"Alpha", "beta", "gamma", "Save As"}), Titles());
    ClickHeader(1);
    EXPECT_EQ((Strings{"Save As", "beta", "gamma", "Alpha"}), Titles());
    ClickButton(Page(), IDC_RESPOND_PAGE_APPLY);
    EXPECT_EQ(std::string(1, '\2'), registry.Stored("Property Respond List Sort"));

    // Delete asks; No keeps the rule, Yes removes it.
    SelectRow(0);
    BoxRecorder::Reset();
    BoxRecorder::answers = {IDNO};
    ClickButton(Page(), IDC_RESPOND_REMOVE);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Are you sure you want to delete this task?", BoxRecorder::boxes[0].text);
    EXPECT_EQ(4u, Titles().size());
    BoxRecorder::answers = {IDYES};
    ClickButton(Page(), IDC_RESPOND_REMOVE);
    EXPECT_EQ((Strings{"beta", "gamma", "Alpha"}), Titles());
    EXPECT_EQ(std::string::npos, ReadBytes(RuleFile()).find("Save As"));
}

std::string g_opened;

bool RecordOpen(HWND, const std::string& path)
{
    g_opened = path;
    return true;
}

TEST_F(RespondPageTest, ViewLogOpensRespondLogOrSaysThatNothingWasAnsweredYet)
{
    Start();
    page->SetOpenFile(&RecordOpen);
    g_opened.clear();
    ClickButton(Page(), IDC_RESPOND_VIEW_LOG);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Notice", BoxRecorder::boxes[0].caption);
    EXPECT_EQ("", g_opened);
    WriteBytes(dir.File("Respond.log"), "answered\r\n");
    ClickButton(Page(), IDC_RESPOND_VIEW_LOG);
    EXPECT_EQ(dir.File("Respond.log"), g_opened);
    EXPECT_EQ(1u, BoxRecorder::boxes.size());
}

TEST_F(RespondPageTest, TheEngineRunsWhileBothSwitchesAreOnAndStopsAtExit)
{
    Start();
    // Off by default: only told of the rules, at start and on activation.
    ASSERT_FALSE(said.empty());
    for (const std::string& word : said)
        EXPECT_EQ("rules (no file)", word);
    said.clear();
    ClickButton(Page(), IDC_RESPOND_ENABLED);
    ClickButton(Page(), IDC_RESPOND_PAGE_APPLY);
    EXPECT_EQ(Strings{"start " + dir.Path()}, said);
    EXPECT_EQ(std::string(1, '\1'), registry.Stored("Property Respond Enabled"));
    said.clear();
    respond->FeaturesSwitched(false);
    respond->FeaturesSwitched(true);
    EXPECT_EQ((Strings{"stop", "start " + dir.Path()}), said);

    // With the program switched off, setting Enabled starts nothing.
    said.clear();
    ClickButton(Page(), IDC_RESPOND_ENABLED);
    ClickButton(Page(), IDC_RESPOND_PAGE_APPLY);
    host.settings.enabled = 0;
    ClickButton(Page(), IDC_RESPOND_ENABLED);
    ClickButton(Page(), IDC_RESPOND_PAGE_APPLY);
    EXPECT_EQ(Strings{"stop"}, said);
    said.clear();
    respond->Stop();
    EXPECT_EQ(Strings{"stop"}, said);
}

TEST_F(RespondPageTest, TheEditorKeepsOnlyRealActionsAndRefusesWhatCannotBeStored)
{
    WriteBytes(dir.File("RespondCommon.txt"),
               std::string(kHeader) + "ENTRY_0\tReplace File\t0\t\t3\t1\tOverwrite prompt\r\n" +
                   "ENTRY_0_ACTION_0\t1\tYes\t0\t500\r\nENTRY_0_ACTION_1\t#%#\r\n");
    registry.Write("Property Respond List Column Widths", REG_SZ, "0,0", 4);
    Start();
    EXPECT_EQ(162, ListView_GetColumnWidth(List(), 0));
    EXPECT_EQ(162, ListView_GetColumnWidth(List(), 1));

    // A sound in a folder of its own, which cannot be the current one.
    const std::string sounds = dir.File("sounds");
    const std::string sound = sounds + "\\ding.wav";
    ASSERT_TRUE(CreateDirectoryA(sounds.c_str(), nullptr));
    WriteBytes(sound, "RIFF");
    const std::string folder = CurrentFolder();
    Strings common;
    EXPECT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_RESPOND_ADD); }, "Add Respond Entry",
                           [&](HWND editor) {
                               for (int i = 0; i < 2; i++) {
                                   char text[128] = {};
                                   SendDlgItemMessageA(editor, IDC_RESPOND_COMMON, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                                       reinterpret_cast<LPARAM>(text));
                                   common.push_back(text);
                               }
                               // Neither title nor text: refused.
                               ClickButton(editor, IDC_RESPOND_OK);
                               // Typed, then a ready-made rule chosen: No keeps what was typed.
                               TypeText(editor, IDC_RESPOND_TEXT, "typed");
                               BoxRecorder::answers = {IDNO};
                               ChooseInList(editor, IDC_RESPOND_COMMON, 1);
                               EXPECT_EQ("typed", WindowText(GetDlgItem(editor, IDC_RESPOND_TEXT)));
                               BoxRecorder::answers = {IDYES};
                               ChooseInList(editor, IDC_RESPOND_COMMON, 1);
                               EXPECT_EQ("Replace File", WindowText(GetDlgItem(editor, IDC_RESPOND_TITLE)));
                               EXPECT_EQ("Yes", WindowText(GetDlgItem(editor, IDC_RESPOND_LABEL)));
                               // Deleting the only action leaves one new one; a sound shows its file.
                               BoxRecorder::answers = {IDYES};
                               ClickButton(editor, IDC_RESPOND_DELETE_ACTION);
                               EXPECT_EQ("Action 1 of 1", WindowText(GetDlgItem(editor, IDC_RESPOND_ACTION_GROUP)));
                               ChooseInList(editor, IDC_RESPOND_KIND, kActionPlaySound);
                               EXPECT_TRUE(Shown(editor, IDC_RESPOND_SOUND));
                               EXPECT_FALSE(Shown(editor, IDC_RESPOND_LABEL));
                               // Browse takes a file and leaves the current folder alone.
                               EXPECT_TRUE(DriveModal([&] { ClickButton(editor, IDC_RESPOND_BROWSE); }, "Open",
                                                      [&](HWND open) {
                                                          // Into the sound's folder, then the file, by the
                                                          // file name box (cmb13 or edt1).
                                                          for (const std::string& name : {sounds, sound}) {
                                                              SetDlgItemTextA(open, 1148, name.c_str());
                                                              SetDlgItemTextA(open, 1152, name.c_str());
                                                              ClickButton(open, IDOK);
                                                          }
                                                      }));
                               EXPECT_EQ(sound, WindowText(GetDlgItem(editor, IDC_RESPOND_SOUND)));
                               EXPECT_EQ(folder, CurrentFolder());
                               TypeText(editor, IDC_RESPOND_SOUND, "C:\\ding.wav");
                               // A tab in the title would split its record: refused.
                               TypeText(editor, IDC_RESPOND_TITLE, "Replace\tFile");
                               ClickButton(editor, IDC_RESPOND_OK);
                               TypeText(editor, IDC_RESPOND_TITLE, "Replace File");
                               ClickButton(editor, IDC_RESPOND_OK);
                           }));
    EXPECT_EQ((Strings{"[Common windows & tasks for auto-responding]", "Overwrite prompt"}), common);
    Strings texts;
    for (const RecordedBox& box : BoxRecorder::boxes)
        texts.push_back(box.text);
    EXPECT_EQ(
        (Strings{"You must specify at least a window title or text.",
                 "Your changes to this entry will be lost.\nDo you want to replace this entry anyway?",
                 "Your changes to this entry will be lost.\nDo you want to replace this entry anyway?",
                 "Are you sure you want to remove this action?", "The window title holds a tab or a line break."}),
        texts);
    ASSERT_EQ(1, respond->Rules().Count());
    const RespondEntry& rule = respond->Rules().Rule(0);
    EXPECT_TRUE(rule.oncePerWindow);
    ASSERT_EQ(1u, rule.actions.size());
    EXPECT_EQ(kActionPlaySound, rule.actions[0].kind);
    EXPECT_EQ("C:\\ding.wav", rule.actions[0].label);
}

// Auto-respond with the sheet never made: the feature alone starts the engine
// from its stored switch with a window of its own for the sounds, follows the
// general switch, tells the engine of a rule once the file stands, and at exit
// stops the engine, writes a list whose last write failed, and takes its window.
TEST_F(RespondPageTest, AutoRespondRunsWithTheSheetNeverMade)
{
    WriteBytes(RuleFile(), std::string(kHeader) + RuleRecords(0, "beta", "x"));
    StoreByte("Property Respond Enabled", 1);
    HWND player = nullptr;
    CAutoRespondFeature alone(host, std::make_unique<RecordingEngine>(said, RuleFile(), &player));
    alone.Start();
    EXPECT_EQ((Strings{"start " + dir.Path(), "rules " + ReadBytes(RuleFile())}), said);
    EXPECT_TRUE(player && IsWindow(player));
    said.clear();
    alone.FeaturesSwitched(false);
    alone.FeaturesSwitched(true);
    EXPECT_EQ((Strings{"stop", "start " + dir.Path()}), said);

    // The file cannot be replaced while a folder stands in its temporary's way.
    ASSERT_TRUE(CreateDirectoryW(Utf8ToWide((RuleFile() + ".new").c_str()).c_str(), nullptr));
    said.clear();
    RespondEntry rule;
    rule.windowTitle = "Save As";
    EXPECT_EQ(ListSaveResult::kFailed, alone.AddRule(rule));
    EXPECT_TRUE(said.empty());
    RemoveDirectoryW(Utf8ToWide((RuleFile() + ".new").c_str()).c_str());
    alone.Stop();
    EXPECT_EQ(Strings{"stop"}, said);
    EXPECT_NE(std::string::npos, ReadBytes(RuleFile()).find("ENTRY_1\tSave As\t"));
    EXPECT_FALSE(IsWindow(player));
}
