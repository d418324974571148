// The "Layouts" group of the real Icons page: its buttons, list, name box,
// radio buttons and questions, with a host that plays the hook library.
#include "IconsPageFixture.h"
#include "LayoutTestFiles.h"

#include "hook/HookProtocol.h"
#include "icons/LayoutManager.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

class LayoutsPageTest : public IconsPageTest {
protected:
    void StartAsHook()
    {
        host->ActAsHook();
        host->onLoaded = [this](int type, const std::string& name) { owner->LayoutLoaded(type, name); };
        Start();
    }
    Strings Listed() const { return ListItems(Page(), IDC_ICONS_LAYOUT_LIST); }
    void TypeName(const std::string& name) { TypeText(Page(), IDC_ICONS_LAYOUT_NAME, name); }
    bool Select(const std::string& title) { return SelectListItem(Page(), IDC_ICONS_LAYOUT_LIST, title); }
    std::string Selected() const
    {
        const LRESULT index = SendDlgItemMessageA(Page(), IDC_ICONS_LAYOUT_LIST, LB_GETCURSEL, 0, 0);
        return index == LB_ERR ? std::string() : Listed().at(static_cast<size_t>(index));
    }
    size_t BoxCount(const char* caption) const
    {
        size_t n = 0;
        for (const RecordedBox& box : BoxRecorder::boxes)
            n += box.caption == caption ? 1 : 0;
        return n;
    }
};

}  // namespace

TEST_F(LayoutsPageTest, TheListNeverShowsTheOriginalAndStartsWithNothingSelected)
{
    WritePositions(dir.Path(), "Home.dvl");
    WritePositions(dir.Path(), "[original].dvl");
    WriteShortcuts(dir.Path(), "Work.dvl", 1);
    StartAsHook();
    EXPECT_EQ((Strings{"Home"}), Listed());
    EXPECT_EQ("", Selected());
    EXPECT_EQ("", Text(IDC_ICONS_LAYOUT_NAME));
    for (int id : {IDC_ICONS_LOAD, IDC_ICONS_DELETE, IDC_ICONS_RENAME, IDC_ICONS_ICONIFY})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_ICONS_SAVE));
    // "Original" makes the current desktop the one restored at exit, silently.
    Click(IDC_ICONS_ORIGINAL);
    EXPECT_EQ((Strings{"[original].dvl"}), host->Sent(HOOKMSG_SAVE_POSITIONS));
    EXPECT_TRUE(BoxRecorder::boxes.empty());
    EXPECT_EQ((Strings{"Home"}), Listed());
}

TEST_F(LayoutsPageTest, TheRadioButtonsSwitchTheListAndTheListType)
{
    WritePositions(dir.Path(), "Home.dvl");
    WriteShortcuts(dir.Path(), "Work.dvl", 1);
    WriteShortcuts(dir.Path(), "Games.dvl", 0);
    StartAsHook();
    Click(IDC_ICONS_SHORTCUTS);
    EXPECT_TRUE(Checked(IDC_ICONS_SHORTCUTS));
    EXPECT_FALSE(Checked(IDC_ICONS_POSITIONS));
    EXPECT_EQ((Strings{"Games", "Work"}), Listed());
    EXPECT_EQ(1, host->settings.listType);
    // Kept in the settings, stored with the next Apply.
    EXPECT_EQ(kMissingValue, registry.Stored("Property Icon List Type"));
    Click(IDC_ICONS_POSITIONS);
    EXPECT_EQ((Strings{"Home"}), Listed());
    EXPECT_EQ(0, host->settings.listType);
}

TEST_F(LayoutsPageTest, SelectingALayoutFillsTheNameAndEnablesItsButtons)
{
    WritePositions(dir.Path(), "Home.dvl");
    StartAsHook();
    ASSERT_TRUE(Select("Home"));
    EXPECT_EQ("Home", Text(IDC_ICONS_LAYOUT_NAME));
    for (int id : {IDC_ICONS_LOAD, IDC_ICONS_DELETE, IDC_ICONS_RENAME, IDC_ICONS_ICONIFY})
        EXPECT_TRUE(Enabled(id)) << id;
    // An emptied name leaves nothing to load, delete or rename.
    TypeName("");
    EXPECT_FALSE(Enabled(IDC_ICONS_LOAD));
    EXPECT_FALSE(Enabled(IDC_ICONS_DELETE));
    EXPECT_FALSE(Enabled(IDC_ICONS_RENAME));
    EXPECT_TRUE(Enabled(IDC_ICONS_SAVE));
}

TEST_F(LayoutsPageTest, ATypedNameWithoutASelectionCannotBeRenamedTo)
{
    WritePositions(dir.Path(), "Home.dvl");
    StartAsHook();
    TypeName("Office");
    EXPECT_TRUE(Enabled(IDC_ICONS_LOAD));
    EXPECT_TRUE(Enabled(IDC_ICONS_DELETE));
    EXPECT_FALSE(Enabled(IDC_ICONS_RENAME));
}

TEST_F(LayoutsPageTest, SavingWithAnEmptyNameSavesTheScreenLayout)
{
    StartAsHook();
    Click(IDC_ICONS_SAVE);
    const std::string screen = ScreenLayoutFileName(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ((Strings{screen}), host->Sent(HOOKMSG_SAVE_POSITIONS));
    EXPECT_EQ((Strings{LayoutTitle(screen)}), Listed());
    EXPECT_TRUE(BoxRecorder::boxes.empty());
    // The name as typed is remembered as the default layout.
    EXPECT_EQ(std::string(1, '\0'), registry.Stored("Property Icon Pos Default Layout"));
}

TEST_F(LayoutsPageTest, SavingOverALayoutAsksFirstAndNoSendsNothing)
{
    WritePositions(dir.Path(), "Home.dvl");
    StartAsHook();
    TypeName("Home");
    Click(IDC_ICONS_SAVE);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    const RecordedBox& box = BoxRecorder::boxes[0];
    EXPECT_EQ("Replace existing layout \"Home\"?", box.text);
    EXPECT_EQ("Confirm", box.caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), box.type);
    EXPECT_EQ(Page(), box.owner);
    EXPECT_TRUE(host->Sent(HOOKMSG_SAVE_POSITIONS).empty());

    BoxRecorder::answers = {IDYES};
    TypeName("Home");
    Click(IDC_ICONS_SAVE);
    EXPECT_EQ((Strings{"Home.dvl"}), host->Sent(HOOKMSG_SAVE_POSITIONS));
    EXPECT_EQ(std::string("Home") + '\0', registry.Stored("Property Icon Pos Default Layout"));
}

TEST_F(LayoutsPageTest, AFailedSaveSaysSo)
{
    Start();
    host->answer = 0;
    TypeName("Home");
    Click(IDC_ICONS_SAVE);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Error saving to specified layout file!", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Error", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), BoxRecorder::boxes[0].type);
}

TEST_F(LayoutsPageTest, ShortcutsSaveAsksAboutTheSelectedIcons)
{
    StartAsHook();
    Click(IDC_ICONS_SHORTCUTS);
    icons->totalIcons = 12;
    icons->selectedIcons = 12;
    TypeName("Work");
    Click(IDC_ICONS_SAVE);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Save layout with 12 shortcuts (entire desktop)?", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Confirm Save", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONINFORMATION), BoxRecorder::boxes[0].type);
    EXPECT_TRUE(host->Sent(HOOKMSG_SAVE_SHORTCUTS).empty());

    BoxRecorder::answers = {IDOK};
    Click(IDC_ICONS_SAVE);
    EXPECT_EQ((Strings{"Work.dvl"}), host->Sent(HOOKMSG_SAVE_SHORTCUTS));
    EXPECT_EQ((Strings{"Work"}), Listed());
}

TEST_F(LayoutsPageTest, NamesThatCannotBeFileNamesAreRefusedWithAMessage)
{
    StartAsHook();
    const std::string longName(300, 'x');
    for (const std::string& name : {std::string("a:b"), std::string("back\\slash"), std::string("<tag>"), longName}) {
        BoxRecorder::Reset();
        TypeName(name);
        Click(IDC_ICONS_SAVE);
        Click(IDC_ICONS_LOAD);
        Click(IDC_ICONS_DELETE);
        EXPECT_EQ(3u, BoxCount("Error")) << name;
        EXPECT_EQ(0u, BoxCount("Confirm")) << name;
    }
    EXPECT_TRUE(host->requests.empty());
    EXPECT_TRUE(Listed().empty());
    // Only what start-up saved is in the program folder.
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path()))
        files.push_back(entry.path().lexically_relative(dir.Path()).string());
    files.erase(std::remove(files.begin(), files.end(), "ErrorLog.txt"), files.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ((Strings{"Positions", "Positions\\[original].dvl"}), files);
}

TEST_F(LayoutsPageTest, LoadSendsTheNameAndShowsTheLoadedLayout)
{
    WritePositions(dir.Path(), "Home.dvl");
    WritePositions(dir.Path(), "Work.dvl");
    StartAsHook();
    icons->appearance = {RGB(1, 2, 3), RGB(4, 5, 6), 0, 1};
    ASSERT_TRUE(Select("Work"));
    Click(IDC_ICONS_LOAD);
    EXPECT_EQ((Strings{"Work.dvl"}), host->Sent(HOOKMSG_LOAD_POSITIONS));
    EXPECT_TRUE(BoxRecorder::boxes.empty());
    // The layout's appearance came with it, and it is the default layout now.
    EXPECT_EQ(RGB(1, 2, 3), host->settings.textForeground);
    EXPECT_EQ(RGB(4, 5, 6), Swatch(IDC_ICONS_BACKGROUND));
    EXPECT_TRUE(Checked(IDC_ICONS_CLEAR));
    EXPECT_EQ("Small Icons", Text(IDC_ICONS_STYLE));
    EXPECT_EQ("Work", Selected());
    EXPECT_EQ(std::string("Work.dvl") + '\0', registry.Stored("Property Icon Pos Default Layout"));

    // A missing layout says so.
    TypeName("Gone");
    Click(IDC_ICONS_LOAD);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Error loading specified layout file!", BoxRecorder::boxes[0].text);
}

TEST_F(LayoutsPageTest, ALayoutOfAnotherKindInTheFolderFailsToLoadWithAMessage)
{
    WriteLayout(dir.Path(), kPositionsLayout, "Stray.dvl", "DERVANE ICON SHORTCUTS", 1);
    StartAsHook();
    EXPECT_EQ((Strings{"Stray"}), Listed());
    ASSERT_TRUE(Select("Stray"));
    SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_ICONS_LAYOUT_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_ICONS_LAYOUT_LIST)));
    EXPECT_EQ((Strings{"Stray.dvl"}), host->Sent(HOOKMSG_LOAD_POSITIONS));
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Error loading specified layout file!", BoxRecorder::boxes[0].text);
}

TEST_F(LayoutsPageTest, TheLoadButtonSaysUnloadForShortcutsOnTheDesktop)
{
    WriteShortcuts(dir.Path(), "On.dvl", 1);
    WriteShortcuts(dir.Path(), "Off.dvl", 0);
    WriteLayout(dir.Path(), kShortcutsLayout, "Foreign.dvl", "SOMETHING ELSE", 1);
    StartAsHook();
    Click(IDC_ICONS_SHORTCUTS);
    ASSERT_TRUE(Select("On"));
    EXPECT_EQ("Unl&oad", Text(IDC_ICONS_LOAD));
    ASSERT_TRUE(Select("Off"));
    EXPECT_EQ("L&oad", Text(IDC_ICONS_LOAD));
    ASSERT_TRUE(Select("On"));
    ASSERT_TRUE(Select("Foreign"));
    EXPECT_EQ("Unl&oad", Text(IDC_ICONS_LOAD)) << "a foreign file leaves the caption as it was";

    // Loading toggles the layout; the page shows its new state.
    ASSERT_TRUE(Select("Off"));
    Click(IDC_ICONS_LOAD);
    EXPECT_EQ((Strings{"Off.dvl"}), host->Sent(HOOKMSG_LOAD_SHORTCUTS));
    EXPECT_EQ("Off", Selected());
    EXPECT_EQ("Unl&oad", Text(IDC_ICONS_LOAD));
    Click(IDC_ICONS_LOAD);
    EXPECT_EQ("L&oad", Text(IDC_ICONS_LOAD));
    // Shortcuts layouts never become the default layout.
    EXPECT_EQ(kMissingValue, registry.Stored("Property Icon Pos Default Layout"));
}

TEST_F(LayoutsPageTest, DeleteTakesTheTypedNameEvenWithAnotherSelected)
{
    const std::string home = WritePositions(dir.Path(), "Home.dvl");
    const std::string work = WritePositions(dir.Path(), "Work.dvl");
    StartAsHook();
    ASSERT_TRUE(Select("Work"));
    TypeName("Home");
    BoxRecorder::answers = {IDYES};
    Click(IDC_ICONS_DELETE);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Are you sure you want to delete this layout file?", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Confirm", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), BoxRecorder::boxes[0].type);
    EXPECT_FALSE(FileExists(home));
    EXPECT_TRUE(FileExists(work));
    EXPECT_EQ((Strings{"Work"}), Listed());
    EXPECT_EQ("", Text(IDC_ICONS_LAYOUT_NAME));
    EXPECT_FALSE(Enabled(IDC_ICONS_DELETE));
    EXPECT_FALSE(Enabled(IDC_ICONS_LOAD));
}

TEST_F(LayoutsPageTest, DeleteAnsweredNoKeepsTheFileAndAFailureSaysWhy)
{
    const std::string home = WritePositions(dir.Path(), "Home.dvl");
    StartAsHook();
    TypeName("Home");
    Click(IDC_ICONS_DELETE);
    EXPECT_TRUE(FileExists(home));
    BoxRecorder::Reset();
    BoxRecorder::answers = {IDYES};
    TypeName("Nothing");
    Click(IDC_ICONS_DELETE);
    ASSERT_EQ(2u, BoxRecorder::boxes.size());
    EXPECT_EQ(kDeleteLayoutError, BoxRecorder::boxes[1].text);
    EXPECT_EQ("Error", BoxRecorder::boxes[1].caption);
}

TEST_F(LayoutsPageTest, RenameSelectsTheLayoutUnderItsNewName)
{
    WritePositions(dir.Path(), "Home.dvl");
    WritePositions(dir.Path(), "Work.dvl");
    StartAsHook();
    ASSERT_TRUE(Select("Home"));
    TypeName("Office");
    Click(IDC_ICONS_RENAME);
    EXPECT_EQ((Strings{"Office", "Work"}), Listed());
    EXPECT_EQ("Office", Selected());
    EXPECT_EQ("Office", Text(IDC_ICONS_LAYOUT_NAME));
    EXPECT_TRUE(FileExists(LayoutFile("Positions", "Office.dvl")));

    // Onto another layout: refused, nothing lost.
    TypeName("Work");
    Click(IDC_ICONS_RENAME);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ(kRenameLayoutError, BoxRecorder::boxes[0].text);
    EXPECT_EQ((Strings{"Office", "Work"}), Listed());
}

TEST_F(LayoutsPageTest, IconifySendsTheFullPathOfTheLayout)
{
    WriteShortcuts(dir.Path(), "Work.dvl", 1);
    StartAsHook();
    Click(IDC_ICONS_SHORTCUTS);
    ASSERT_TRUE(Select("Work"));
    Click(IDC_ICONS_ICONIFY);
    EXPECT_EQ((Strings{dir.Path() + "\\Shortcuts\\Work.dvl"}), host->Sent(HOOKMSG_ICONIFY_SHORTCUTS));
    EXPECT_TRUE(BoxRecorder::boxes.empty());
}

TEST_F(LayoutsPageTest, TheOriginalLoadedDoesNotChangeTheDefaultLayout)
{
    registry.Write("Property Icon Pos Default Layout", REG_SZ, "Home.dvl", 9);
    WritePositions(dir.Path(), "Home.dvl");
    StartAsHook();
    owner->LayoutLoaded(kPositionsLayout, "[ORIGINAL].DVL");
    EXPECT_EQ(std::string("Home.dvl") + '\0', registry.Stored("Property Icon Pos Default Layout"));
    owner->LayoutLoaded(kPositionsLayout, "Home.dvl");
    EXPECT_EQ("Home", Selected());
}

TEST_F(LayoutsPageTest, StartUpSavesTheOriginalThenLoadsTheDefaultLayout)
{
    registry.Write("Property Icon Pos Default Layout", REG_SZ, "Home.dvl", 9);
    host->ActAsHook();
    Start(false);
    ASSERT_EQ(2u, host->requests.size());
    EXPECT_EQ(HOOKMSG_SAVE_POSITIONS, host->requests[0].code);
    EXPECT_EQ("[original].dvl", host->requests[0].text);
    EXPECT_EQ(HOOKMSG_LOAD_POSITIONS, host->requests[1].code);
    EXPECT_EQ("Home.dvl", host->requests[1].text);
    EXPECT_TRUE(BoxRecorder::boxes.empty());
    EXPECT_TRUE(Listed().empty()) << "[original] is never listed";
}

TEST_F(LayoutsPageTest, StopRestoresTheOriginal)
{
    WritePositions(dir.Path(), "Home.dvl");
    StartAsHook();
    owner->Stop();
    EXPECT_EQ((Strings{"[original].dvl"}), host->Sent(HOOKMSG_LOAD_POSITIONS));
    EXPECT_TRUE(BoxRecorder::boxes.empty());
    // A session end that was called off leaves the rules working.
    owner->HideByLabel("Recycle Bin", 0);
    EXPECT_TRUE(owner->HasHideRule("Recycle Bin"));
    EXPECT_NE(std::string::npos, ReadBytes(dir.File("IconHide.txt")).find("ENTRY_0\tRecycle Bin\t0"));
}
