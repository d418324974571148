// The Backup page in a property sheet over the backup feature, with the test
// host in place of the program: the window on the desktop, the list of
// configurations and what they store.
#include "IconsTestSupport.h"
#include "PagesTestResources.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "framework/PropertySheet.h"
#include "pages/BackupPage.h"
#include "backup/BackupConfigDlg.h"
#include "backup/BackupFeature.h"
#include "backup/BackupIconWnd.h"
#include "backup/BackupResource.h"
#include "pages/BackupResource.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

const char kTwoConfigs[] =
    "KTX_FILE\tDERVANE BACKUP\r\nVERSION\t1.0\r\nCUSTOM\t0\r\nCUSTOM_COMMAND\t\t\r\nPOST_COMMAND\t\t\t0\r\n"
    "ENTRY_0\tWork\t1\t0\r\nENTRY_0_SOURCE\tC:\\Work\r\nENTRY_0_DEST\tD:\\Copies\\Work\r\n"
    "ENTRY_0_TYPE_0\t*.*\r\nENTRY_0_TYPE_1\t#%#\r\n"
    "ENTRY_1\tMail\t1\t0\r\nENTRY_1_SOURCE\tC:\\Mail\r\nENTRY_1_DEST\tD:\\Copies\\Mail\r\n"
    "ENTRY_1_TYPE_0\t*.eml\r\nENTRY_1_TYPE_1\t#%#\r\n";

std::string Position(int left, int top)
{
    const int32_t place[2] = {left, top};
    return std::string(reinterpret_cast<const char*>(place), sizeof place);
}

class BackupPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        BoxRecorder::Reset();
        LogResetState();
        LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    }
    void TearDown() override { sheet.reset(); }

    // The program's order: the feature starts and shows the window the
    // settings show, then the sheet is made with the page active.
    void Start()
    {
        auto backup = std::make_unique<CBackupPage>(host, owner);
        page = backup.get();
        page->SetMessageBox(&BoxRecorder::Show);
        sheet->AddPage(std::make_unique<BlankPage>());
        sheet->AddPage(std::move(backup));
        owner.Start();
        owner.ShowWindows();
        ASSERT_EQ(1, CreateTestSheet(*sheet, "Backup Page Test"));
        sheet->SetActivePage(1);
    }
    HWND Page() const { return page->GetHwnd(); }
    HWND Window() const { return owner.BackupWindow() ? owner.BackupWindow()->GetHwnd() : nullptr; }
    POINT WindowPlace() const
    {
        RECT rect = {};
        GetWindowRect(Window(), &rect);
        return POINT{rect.left, rect.top};
    }
    std::string ConfigFile() const { return dir.File("Backup.txt"); }

    TempDir dir;
    TestRegistry registry{testing::UnitTest::GetInstance()->current_test_info()->name()};
    TestPageHost host{dir.Path(), registry.Roots()};
    CBackupFeature owner{host, 1};
    std::unique_ptr<CPropertySheet> sheet = std::make_unique<CPropertySheet>();
    CBackupPage* page = nullptr;
};

}  // namespace

TEST_F(BackupPageTest, AFirstStartShowsTheWindowAt50By0ShapedOnlyOnceItsFocusChangesAndApplyOffOnKeepsItsPlace)
{
    Start();
    ASSERT_NE(nullptr, Window());
    EXPECT_EQ("Dervane Backup Icon", WindowText(Window()));
    EXPECT_EQ(50, WindowPlace().x);
    EXPECT_EQ(0, WindowPlace().y);
    EXPECT_TRUE(IsChecked(Page(), IDC_BACKUP_SHOW_ICON));
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, GetWindowRgn(Window(), region)) << "rectangular until the focus first changes";

    // With the focus the open box, without it the closed one: (8,13) lies
    // on an open flap only, (20,20) in the box of both.
    SetFocus(Window());
    ASSERT_EQ(Window(), GetFocus());
    ASSERT_EQ(COMPLEXREGION, GetWindowRgn(Window(), region));
    EXPECT_TRUE(PtInRegion(region, 8, 13));
    EXPECT_TRUE(PtInRegion(region, 20, 20));
    SetFocus(Page());
    ASSERT_EQ(COMPLEXREGION, GetWindowRgn(Window(), region));
    EXPECT_FALSE(PtInRegion(region, 8, 13));
    EXPECT_TRUE(PtInRegion(region, 20, 20));
    DeleteObject(region);

    // Moved, then switched off: its place is stored; on again, it comes back there.
    SetWindowPos(Window(), nullptr, 120, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(IsEnabled(Page(), IDC_BACKUP_APPLY));
    ClickButton(Page(), IDC_BACKUP_SHOW_ICON);
    EXPECT_TRUE(IsEnabled(Page(), IDC_BACKUP_APPLY));
    ClickButton(Page(), IDC_BACKUP_APPLY);
    EXPECT_EQ(nullptr, Window());
    EXPECT_FALSE(IsEnabled(Page(), IDC_BACKUP_APPLY));
    EXPECT_EQ(std::string(1, '\0'), registry.Stored("Property Backup Desktop Icon"));
    EXPECT_EQ(Position(120, 80), registry.Stored("Property Backup Desktop Icon Pos"));
    ClickButton(Page(), IDC_BACKUP_SHOW_ICON);
    ClickButton(Page(), IDC_BACKUP_APPLY);
    ASSERT_NE(nullptr, Window());
    EXPECT_EQ(120, WindowPlace().x);
    EXPECT_EQ(80, WindowPlace().y);
    EXPECT_EQ(std::string(1, '\1'), registry.Stored("Property Backup Desktop Icon"));
    EXPECT_FALSE(FileExists(ConfigFile())) << "an unchanged list is not written";
}

TEST_F(BackupPageTest, StoredValuesOfAnotherSizeReadAsTheDefaults)
{
    const char wrongShow[2] = {0, 0};
    registry.Write("Property Backup Desktop Icon", REG_BINARY, wrongShow, sizeof wrongShow);
    registry.Write("Property Backup Desktop Icon Pos", REG_SZ, "30,40", 6);
    Start();
    ASSERT_NE(nullptr, Window()) << "shown, the default";
    EXPECT_EQ(50, WindowPlace().x);
    EXPECT_EQ(0, WindowPlace().y);
}

TEST_F(BackupPageTest, DeleteAsksAndOnlyYesRemovesAndAtExitTheListIsSavedWithTheWindowOff)
{
    WriteBytes(ConfigFile(), kTwoConfigs);
    const uint8_t off = 0;
    registry.Write("Property Backup Desktop Icon", REG_BINARY, &off, 1);
    Start();
    EXPECT_EQ(nullptr, Window());
    EXPECT_EQ((std::vector<std::string>{"C:\\Mail", "C:\\Work"}), ListItems(Page(), IDC_BACKUP_CONFIGS));
    EXPECT_FALSE(IsEnabled(Page(), IDC_BACKUP_EDIT_CONFIG));
    EXPECT_FALSE(IsEnabled(Page(), IDC_BACKUP_REMOVE_CONFIG));
    ASSERT_TRUE(SelectListItem(Page(), IDC_BACKUP_CONFIGS, "C:\\Work"));
    EXPECT_TRUE(IsEnabled(Page(), IDC_BACKUP_EDIT_CONFIG));
    EXPECT_TRUE(IsEnabled(Page(), IDC_BACKUP_REMOVE_CONFIG));

    BoxRecorder::answers = {IDNO};
    ClickButton(Page(), IDC_BACKUP_REMOVE_CONFIG);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Are you sure you want to delete this configuration?", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Confirm", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), BoxRecorder::boxes[0].type);
    EXPECT_EQ(2u, owner.Configs().Configs().size());

    BoxRecorder::answers = {IDYES};
    ClickButton(Page(), IDC_BACKUP_REMOVE_CONFIG);
    EXPECT_EQ((std::vector<std::string>{"C:\\Mail"}), ListItems(Page(), IDC_BACKUP_CONFIGS));
    EXPECT_FALSE(IsEnabled(Page(), IDC_BACKUP_EDIT_CONFIG));
    EXPECT_FALSE(IsEnabled(Page(), IDC_BACKUP_REMOVE_CONFIG));
    EXPECT_EQ(kTwoConfigs, ReadBytes(ConfigFile())) << "written when applied, left or at exit";

    owner.Stop();
    const std::string saved = ReadBytes(ConfigFile());
    EXPECT_EQ(std::string::npos, saved.find("C:\\Work"));
    EXPECT_NE(std::string::npos, saved.find("ENTRY_0_SOURCE\tC:\\Mail\r\n"));
    EXPECT_EQ(std::string(1, '\0'), registry.Stored("Property Backup Desktop Icon"));
}

TEST_F(BackupPageTest, TheLongestSourceInCyrillicGoesThroughTheEditorAndIntoTheListWhole)
{
    const std::string source = LongestCyrillicFolder();
    ASSERT_EQ(257u, Utf16Length(source));
    Start();
    ASSERT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_BACKUP_ADD_CONFIG); }, "Add Backup Configuration",
                           [&](HWND editor) {
                               // Typed as the keyboard types: UTF-16.
                               SetDlgItemTextW(editor, IDC_BACKUP_SOURCE, Utf8ToWide(source.c_str()).c_str());
                               TypeText(editor, IDC_BACKUP_TARGET, "D:\\Copies");
                               TypeText(editor, IDC_BACKUP_TYPE, "*.doc");
                               ClickButton(editor, IDC_BACKUP_ADD);
                               ClickButton(editor, IDOK);
                           }));
    EXPECT_TRUE(BoxRecorder::boxes.empty()) << BoxRecorder::boxes[0].text;
    ClickButton(Page(), IDC_BACKUP_APPLY);
    const std::string stored = ReadBytes(ConfigFile());
    EXPECT_NE(std::string::npos, stored.find("\r\nENTRY_0_SOURCE\t" + source + "\r\nENTRY_0_DEST\tD:\\Copies\r\n"))
        << stored;
}

TEST_F(BackupPageTest, AddRefusesASecondConfigurationForASourceEditReplacesAndAdvancedCancelLeavesApplyAsItWas)
{
    Start();
    auto add = [&](const char* source, const char* target) {
        return DriveModal([&] { ClickButton(Page(), IDC_BACKUP_ADD_CONFIG); }, "Add Backup Configuration",
                          [&](HWND editor) {
                              TypeText(editor, IDC_BACKUP_SOURCE, source);
                              TypeText(editor, IDC_BACKUP_TARGET, target);
                              TypeText(editor, IDC_BACKUP_TYPE, "*.doc");
                              ClickButton(editor, IDC_BACKUP_ADD);
                              ClickButton(editor, IDOK);
                              if (IsWindowVisible(editor))  // refused: the editor stays open
                                  ClickButton(editor, IDCANCEL);
                          });
    };
    ASSERT_TRUE(add("C:\\Work\\", "D:\\Copies\\Work"));
    EXPECT_EQ((std::vector<std::string>{"C:\\Work"}), ListItems(Page(), IDC_BACKUP_CONFIGS));
    EXPECT_TRUE(IsEnabled(Page(), IDC_BACKUP_APPLY));
    ClickButton(Page(), IDC_BACKUP_APPLY);
    const std::string applied = ReadBytes(ConfigFile());
    EXPECT_NE(std::string::npos,
              applied.find("ENTRY_0_SOURCE\tC:\\Work\r\nENTRY_0_DEST\tD:\\Copies\\Work\r\n"
                           "ENTRY_0_TYPE_0\t*.doc\r\nENTRY_0_TYPE_1\t#%#\r\n"))
        << applied;
    // One configuration per source, whatever the letter case and the target.
    ASSERT_TRUE(add("c:\\work", "E:\\Other"));
    EXPECT_EQ(1u, owner.Configs().Configs().size());
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ(CBackupConfigDlg::kSourceTakenText, BoxRecorder::boxes[0].text);

    // A double click edits the item; the edited copy takes its place.
    ASSERT_TRUE(SelectListItem(Page(), IDC_BACKUP_CONFIGS, "C:\\Work"));
    const bool edited = DriveModal(
        [&] {
            SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_BACKUP_CONFIGS, LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_BACKUP_CONFIGS)));
        },
        "Edit Backup Configuration",
        [&](HWND editor) {
            EXPECT_EQ("D:\\Copies\\Work", WindowText(GetDlgItem(editor, IDC_BACKUP_TARGET)));
            TypeText(editor, IDC_BACKUP_TARGET, "D:\\Archive");
            ClickButton(editor, IDOK);
        });
    ASSERT_TRUE(edited);
    ASSERT_EQ(1u, owner.Configs().Configs().size());
    EXPECT_EQ("D:\\Archive", owner.Configs().Configs()[0].target);
    ClickButton(Page(), IDC_BACKUP_APPLY);
    const std::string saved = ReadBytes(ConfigFile());

    // Advanced and Cancel: Apply stays off and nothing is stored.
    ASSERT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_BACKUP_ADVANCED); }, "Advanced Backup Settings",
                           [&](HWND advanced) {
                               ClickButton(advanced, IDC_ADVANCED_REMOVE_COPIES);
                               ClickButton(advanced, IDCANCEL);
                           }));
    EXPECT_FALSE(IsEnabled(Page(), IDC_BACKUP_APPLY));
    EXPECT_EQ(0, owner.Configs().Commands().removeCopies);
    sheet->SetActivePage(0);
    EXPECT_EQ(saved, ReadBytes(ConfigFile()));
    sheet->SetActivePage(1);

    // Advanced and OK: the commands change and Apply is on.
    ASSERT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_BACKUP_ADVANCED); }, "Advanced Backup Settings",
                           [&](HWND advanced) {
                               ClickButton(advanced, IDC_ADVANCED_REMOVE_COPIES);
                               ClickButton(advanced, IDOK);
                           }));
    EXPECT_TRUE(IsEnabled(Page(), IDC_BACKUP_APPLY));
    EXPECT_EQ(1, owner.Configs().Commands().removeCopies);
    sheet->SetActivePage(0);
    EXPECT_NE(std::string::npos, ReadBytes(ConfigFile()).find("POST_COMMAND\t\t\t1\r\n")) << "written on leaving";
}
