// The two backup editors driven through their controls (modeless, so the
// test can act between clicks), and the system dialogs they open.
#include "backup/AdvancedBackupDlg.h"
#include "backup/BackupConfigDlg.h"
#include "backup/BackupResource.h"
#include "help/HelpTables.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

struct TextSearch {
    std::string text;
    bool found;
};

BOOL CALLBACK FindText(HWND child, LPARAM lp)
{
    auto* search = reinterpret_cast<TextSearch*>(lp);
    if (WindowText(child) == search->text) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

// A control of window shows exactly text.
bool ShowsText(HWND window, const std::string& text)
{
    TextSearch search{text, false};
    EnumChildWindows(window, &FindText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class BackupDialogsTest : public testing::Test {
protected:
    void SetUp() override { BoxRecorder::Reset(); }
    void TearDown() override
    {
        configDialog.reset();
        advancedDialog.reset();
    }
    void OpenConfig()
    {
        configDialog = std::make_unique<CBackupConfigDlg>(nullptr, config);
        configDialog->SetMessageBox(&BoxRecorder::Show);
        ASSERT_EQ(1, configDialog->CreateModeless(nullptr));
        dialog = configDialog->GetHwnd();
    }
    void OpenAdvanced()
    {
        advancedDialog = std::make_unique<CAdvancedBackupDlg>(nullptr, commands);
        advancedDialog->SetMessageBox(&BoxRecorder::Show);
        ASSERT_EQ(1, advancedDialog->CreateModeless(nullptr));
        dialog = advancedDialog->GetHwnd();
    }
    void Click(int id) { ClickButton(dialog, id); }
    bool Enabled(int id) const { return IsEnabled(dialog, id); }
    bool Checked(int id) const { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    void Type(int id, const std::string& text) { TypeText(dialog, id, text); }
    std::string Field(int id) const { return WindowText(GetDlgItem(dialog, id)); }
    Strings Texts() const
    {
        Strings texts;
        for (const RecordedBox& box : BoxRecorder::boxes)
            texts.push_back(box.text);
        return texts;
    }

    TempDir dir;
    BackupConfig config;
    BackupCommands commands;
    std::unique_ptr<CBackupConfigDlg> configDialog;
    std::unique_ptr<CAdvancedBackupDlg> advancedDialog;
    HWND dialog = nullptr;
};

}  // namespace

TEST_F(BackupDialogsTest, TheConfigurationEditorShowsTheConfigurationAndStoresItWithoutTrailingBackslashes)
{
    config.source = "C:\\Data";
    config.target = "D:\\Save";
    config.name = "Data";
    config.includeSubfolders = 0;
    config.excludeFileTypes = 1;
    config.fileTypes = {"zeta.*", "*.alpha"};
    OpenConfig();
    EXPECT_EQ("Edit Backup Configuration", WindowText(dialog));
    EXPECT_EQ("C:\\Data", Field(IDC_BACKUP_SOURCE));
    EXPECT_EQ("D:\\Save", Field(IDC_BACKUP_TARGET));
    EXPECT_EQ("Data", Field(IDC_BACKUP_NAME));
    EXPECT_FALSE(Checked(IDC_BACKUP_SUBFOLDERS));
    EXPECT_TRUE(Checked(IDC_BACKUP_EXCLUDE));
    EXPECT_EQ((Strings{"*.alpha", "zeta.*"}), ListItems(dialog, IDC_BACKUP_TYPES));
    for (int id : {IDC_BACKUP_ADD, IDC_BACKUP_REPLACE, IDC_BACKUP_DELETE})
        EXPECT_FALSE(Enabled(id)) << id;
    configDialog.reset();

    config = BackupConfig();
    OpenConfig();
    EXPECT_EQ("Add Backup Configuration", WindowText(dialog));
    EXPECT_TRUE(Checked(IDC_BACKUP_SUBFOLDERS));
    Type(IDC_BACKUP_SOURCE, "C:\\Data\\");
    Click(IDOK);
    Type(IDC_BACKUP_TARGET, "D:\\Save\\");
    Type(IDC_BACKUP_NAME, "Mail");
    Type(IDC_BACKUP_TYPE, "*.eml");
    Click(IDC_BACKUP_ADD);
    Click(IDOK);
    EXPECT_EQ(Strings{"Please specify both source and target folders!"}, Texts());
    EXPECT_EQ("Notice", BoxRecorder::boxes.at(0).caption);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ("C:\\Data", config.source);
    EXPECT_EQ("D:\\Save", config.target);
    EXPECT_EQ("Mail", config.name);
    EXPECT_EQ(1, config.includeSubfolders);
    EXPECT_EQ(Strings{"*.eml"}, config.fileTypes);
}

TEST_F(BackupDialogsTest, TheConfigurationEditorRefusesFoldersThatCannotRunAndAsksForFileTypes)
{
    config.source = "C:\\Keep";
    config.target = "D:\\Keep";
    OpenConfig();
    Type(IDC_BACKUP_TYPE, "#%#");
    Click(IDC_BACKUP_ADD);
    for (const char* target : {"C:\\Keep\\Copy", "..\\x", "\\\\?\\D:\\Keep"}) {
        Type(IDC_BACKUP_TARGET, target);
        Click(IDOK);
    }
    Type(IDC_BACKUP_TARGET, "D:\\Copy");
    Click(IDOK);  // No to the question
    EXPECT_EQ((Strings{"#%# cannot be used as a file type.", "The target folder cannot lie inside the source folder.",
                       "Please enter the full path of the target folder, with its drive (for example C:\\Data).",
                       "The target folder cannot be a device path (\\\\?\\ or \\\\.\\).",
                       "Do you want to include all files in this folder?", "Please specify at least one file type!"}),
              Texts());
    EXPECT_EQ("Error", BoxRecorder::boxes.at(1).caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), BoxRecorder::boxes.at(4).type);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ("D:\\Keep", config.target);

    BoxRecorder::answers.push_back(IDYES);
    Click(IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ("D:\\Copy", config.target);
    EXPECT_EQ(Strings{"*.*"}, config.fileTypes);
}

TEST_F(BackupDialogsTest, TheConfigurationEditorRefusesATargetNamedThroughTheSourcesShortName)
{
    config.source = dir.File("Long Source Folder");
    MakeFolder(config.source);
    const std::string shortSource = ShortFormOf(config.source);
    if (shortSource.empty())
        GTEST_SKIP() << "the file system gives " << config.source << " no short name";
    config.target = dir.File("Copies");
    config.fileTypes = {"*.*"};
    OpenConfig();
    Type(IDC_BACKUP_TARGET, shortSource + "\\Copies");
    Click(IDOK);
    EXPECT_EQ(Strings{"The target folder cannot lie inside the source folder."}, Texts());
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(dir.File("Copies"), config.target);
}

TEST_F(BackupDialogsTest, TheConfigurationEditorRefusesATargetThatIsOrReachesTheSourceThroughALinkOrADrive)
{
    config.source = dir.File("Source");
    MakeFolder(config.source);
    MakeFolder(dir.File("Links"));
    FolderLinks links(dir.Path());
    ASSERT_TRUE(links.Make(dir.File("Links"), "ToSource", "..\\Source"));
    SubstitutedDrive drive;
    ASSERT_TRUE(drive.Make('Q', dir.Path()));
    config.target = dir.File("Copies");
    config.fileTypes = {"*.*"};
    OpenConfig();
    for (const std::string& target : {dir.File("Links\\ToSource\\"), dir.File("Links\\ToSource\\Copies"),
                                      std::string("Q:\\Source"), std::string("Q:\\Source\\Copies")}) {
        Type(IDC_BACKUP_TARGET, target);
        Click(IDOK);
    }
    EXPECT_EQ((Strings{"The target folder cannot be a link to another folder.",
                       "The target folder cannot lie inside the source folder.",
                       "The target folder cannot be the source folder.",
                       "The target folder cannot lie inside the source folder."}),
              Texts());
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(dir.File("Copies"), config.target);
    // Beside the source on the same drive is taken.
    Type(IDC_BACKUP_TARGET, "Q:\\Copies");
    Click(IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ("Q:\\Copies", config.target);
}

TEST_F(BackupDialogsTest, SelectOpensTheFolderBrowserWithItsTitleAndCancelKeepsTheField)
{
    config.source = "C:\\Data";
    OpenConfig();
    for (int id : {IDC_BACKUP_SOURCE_SELECT, IDC_BACKUP_TARGET_SELECT}) {
        bool titled = false;
        const bool seen = WhileModal([&] { Click(id); }, "Browse for Folder",
                                     [&](HWND browser) {
                                         titled = ShowsText(browser,
                                                            id == IDC_BACKUP_SOURCE_SELECT
                                                                ? "Select a backup source folder"
                                                                : "Select a backup target folder");
                                         PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
                                         return true;
                                     });
        EXPECT_TRUE(seen) << id;
        EXPECT_TRUE(titled) << id;
    }
    EXPECT_EQ("C:\\Data", Field(IDC_BACKUP_SOURCE));
    EXPECT_EQ("", Field(IDC_BACKUP_TARGET));
}

TEST_F(BackupDialogsTest, RemovingAConfigurationGoesOnOnlyOnYes)
{
    BoxRecorder::answers = {IDYES, IDNO};
    EXPECT_TRUE(CBackupConfigDlg::ConfirmRemoval(nullptr, &BoxRecorder::Show));
    EXPECT_FALSE(CBackupConfigDlg::ConfirmRemoval(nullptr, &BoxRecorder::Show));
    EXPECT_EQ("Are you sure you want to delete this configuration?", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Confirm", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), BoxRecorder::boxes[0].type);
}

TEST_F(BackupDialogsTest, TheAdvancedSettingsSwitchTheCustomFieldsAndStoreEveryFieldOnlyOnOk)
{
    commands.postProgram = "C:\\send.exe";
    commands.postArguments = "%ISDROPFILE(-f) %DROPTARGETPATH";
    commands.removeCopies = 1;
    OpenAdvanced();
    EXPECT_EQ("Advanced Backup Settings", WindowText(dialog));
    EXPECT_TRUE(Checked(IDC_ADVANCED_STANDARD));
    EXPECT_FALSE(Checked(IDC_ADVANCED_CUSTOM));
    for (int id : {IDC_ADVANCED_CUSTOM_PROGRAM, IDC_ADVANCED_CUSTOM_SELECT, IDC_ADVANCED_CUSTOM_ARGUMENTS})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ("C:\\send.exe", Field(IDC_ADVANCED_POST_PROGRAM));
    EXPECT_EQ("%ISDROPFILE(-f) %DROPTARGETPATH", Field(IDC_ADVANCED_POST_ARGUMENTS));
    EXPECT_TRUE(Checked(IDC_ADVANCED_REMOVE_COPIES));

    SendDlgItemMessageA(dialog, IDC_ADVANCED_CUSTOM, BM_CLICK, 0, 0);
    EXPECT_TRUE(Checked(IDC_ADVANCED_CUSTOM));
    EXPECT_FALSE(Checked(IDC_ADVANCED_STANDARD));
    EXPECT_TRUE(Enabled(IDC_ADVANCED_CUSTOM_PROGRAM));
    EXPECT_TRUE(Enabled(IDC_ADVANCED_CUSTOM_SELECT));
    Click(IDOK);  // no custom program yet
    Type(IDC_ADVANCED_CUSTOM_PROGRAM, "C:\\pack.exe");
    Type(IDC_ADVANCED_CUSTOM_ARGUMENTS, "a\tb");
    Click(IDOK);
    EXPECT_EQ((Strings{"Please specify the program of the custom backup command!",
                       "The programs and their arguments cannot contain tabs or line breaks."}),
              Texts());
    EXPECT_EQ(0, commands.custom);
    Type(IDC_ADVANCED_CUSTOM_ARGUMENTS, "%SOURCE %TARGET");
    Click(IDC_ADVANCED_REMOVE_COPIES);
    Click(IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(1, commands.custom);
    EXPECT_EQ("C:\\pack.exe", commands.customProgram);
    EXPECT_EQ("%SOURCE %TARGET", commands.customArguments);
    EXPECT_EQ("C:\\send.exe", commands.postProgram);
    EXPECT_EQ(0, commands.removeCopies);

    // Standard again: the custom fields go grey, and Cancel changes nothing.
    OpenAdvanced();
    EXPECT_TRUE(Checked(IDC_ADVANCED_CUSTOM));
    SendDlgItemMessageA(dialog, IDC_ADVANCED_STANDARD, BM_CLICK, 0, 0);
    EXPECT_FALSE(Enabled(IDC_ADVANCED_CUSTOM_ARGUMENTS));
    Click(IDCANCEL);
    EXPECT_EQ(1, commands.custom);
}

TEST_F(BackupDialogsTest, SelectChoosesAProgramThroughTheOpenDialogWithTheProgramFilter)
{
    const std::string program = dir.File("send.exe");
    MakeFile(program);
    OpenAdvanced();
    std::string firstFilter;
    const bool seen = WhileModal([&] { Click(IDC_ADVANCED_POST_SELECT); }, "Open",
                                 [&](HWND open) {
                                     char text[128] = "";
                                     SendDlgItemMessageA(open, 0x470, CB_GETLBTEXT, 0,
                                                         reinterpret_cast<LPARAM>(text));  // the filter list
                                     firstFilter = text;
                                     SetDlgItemTextA(open, 0x47C, program.c_str());  // the file name
                                     PostMessageA(open, WM_COMMAND, IDOK, 0);
                                     return true;
                                 });
    EXPECT_TRUE(seen);
    EXPECT_EQ("Program Files (*.exe)", firstFilter);
    EXPECT_EQ(program, Field(IDC_ADVANCED_POST_PROGRAM));
}

TEST_F(BackupDialogsTest, EveryControlOfTheEditorsHelpTablesStandsInItsDialog)
{
    int checked = 0;
    for (const HelpTable& table : kHelpTables) {
        if (table.dialog != IDD_BACKUP_CONFIG && table.dialog != IDD_ADVANCED_BACKUP)
            continue;
        ++checked;
        if (table.dialog == IDD_BACKUP_CONFIG)
            OpenConfig();
        else
            OpenAdvanced();
        for (const unsigned long* pair = table.pairs; pair[0] != 0; pair += 2)
            EXPECT_NE(nullptr, GetDlgItem(dialog, static_cast<int>(pair[0])))
                << "dialog " << table.dialog << " has no control " << pair[0];
    }
    EXPECT_EQ(2, checked);
}
