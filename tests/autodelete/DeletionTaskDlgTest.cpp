// The task editor driven through its controls (modeless, so the test can act
// between clicks), with a program folder of its own holding the ready-made
// tasks.
#include "autodelete/AutoDeleteResource.h"
#include "autodelete/DeletionTaskDlg.h"
#include "autodelete/FolderMacros.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

const char kCommon[] = "KTX_FILE\tDERVANE AUTODELETE\r\nVERSION\t1.0\r\n"
                       "ENTRY_0\t%WINDOWS_TEMP%\t1\t0\t1\tTemporary files\r\nENTRY_0_TYPE_0\t*.tmp\r\n"
                       "ENTRY_0_TYPE_1\t~*.*\r\nENTRY_0_TYPE_2\t#%#\r\n"
                       "ENTRY_1\t%NAVIGATOR_TEMP%\t1\t0\t0\tNavigator cache\r\nENTRY_1_TYPE_0\t*.*\r\n"
                       "ENTRY_1_TYPE_1\t#%#\r\n"
                       "ENTRY_2\tC:\\Other\t0\t1\t0\tTemporary files\r\nENTRY_2_TYPE_0\t#%#\r\n";

class DeletionTaskDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        BoxRecorder::Reset();
        FILE* f = fopen(dir.File("AutoDeleteCommon.txt").c_str(), "wb");
        ASSERT_NE(nullptr, f);
        fputs(kCommon, f);
        fclose(f);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main");
    }
    void TearDown() override { dialog.reset(); }
    void Open() { Open(dir.Path()); }
    void Open(const std::string& programFolder)
    {
        dialog = std::make_unique<CDeletionTaskDlg>(nullptr, task, programFolder);
        dialog->SetMessageBox(&BoxRecorder::Show);
        ASSERT_EQ(1, dialog->CreateModeless(nullptr));
    }
    HWND Dialog() const { return dialog->GetHwnd(); }
    void Click(int id) { ClickButton(Dialog(), id); }
    bool Enabled(int id) const { return IsEnabled(Dialog(), id); }
    bool Checked(int id) const { return IsDlgButtonChecked(Dialog(), id) == BST_CHECKED; }
    void Type(int id, const std::string& text) { TypeText(Dialog(), id, text); }
    std::string Field(int id) const { return WindowText(GetDlgItem(Dialog(), id)); }
    Strings Types() const { return ListItems(Dialog(), IDC_TASK_TYPES); }
    void ChooseCommon(int index)
    {
        SendDlgItemMessageA(Dialog(), IDC_TASK_COMMON, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_TASK_COMMON, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(Dialog(), IDC_TASK_COMMON)));
    }
    Strings CommonItems() const
    {
        Strings items;
        const LRESULT count = SendDlgItemMessageA(Dialog(), IDC_TASK_COMMON, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; i++) {
            char text[256] = "";
            SendDlgItemMessageA(Dialog(), IDC_TASK_COMMON, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }
    std::string LastBox() const { return BoxRecorder::boxes.empty() ? "" : BoxRecorder::boxes.back().text; }
    std::string TempFolder() const
    {
        std::string temp = "%WINDOWS_TEMP%";
        ExpandFolderMacros(temp);
        return temp;
    }

    TempDir dir;
    DeletionTask task;
    std::unique_ptr<CDeletionTaskDlg> dialog;
};

}  // namespace

TEST_F(DeletionTaskDlgTest, OpensWithTheTaskAndTheCommonFoldersAndNoListButtons)
{
    task.folder = dir.File("work");
    task.includeSubfolders = 1;
    task.deleteEmptySubfolders = 1;
    task.fileTypes = {"zeta.*", "*.alpha"};
    Open();
    EXPECT_EQ("Edit Automated Deletion Task", WindowText(Dialog()));
    EXPECT_EQ(dir.File("work"), Field(IDC_TASK_FOLDER));
    EXPECT_TRUE(Checked(IDC_TASK_SUBFOLDERS));
    EXPECT_FALSE(Checked(IDC_TASK_EXCLUDE));
    EXPECT_TRUE(Checked(IDC_TASK_DELETE_EMPTY));
    EXPECT_EQ((Strings{"*.alpha", "zeta.*"}), Types());
    EXPECT_EQ((Strings{"[Folders commonly needing cleaning]", "Temporary files", "Navigator cache", "Temporary files"}),
              CommonItems());
    EXPECT_EQ(0, SendDlgItemMessageA(Dialog(), IDC_TASK_COMMON, CB_GETCURSEL, 0, 0));
    EXPECT_FALSE(Enabled(IDC_TASK_ADD));
    EXPECT_FALSE(Enabled(IDC_TASK_REPLACE));
    EXPECT_FALSE(Enabled(IDC_TASK_DELETE));

    dialog.reset();
    task = DeletionTask();
    Open();
    EXPECT_EQ("Add Automated Deletion Task", WindowText(Dialog()));
}

TEST_F(DeletionTaskDlgTest, ACommonFolderFillsTheFieldsExpandedAndOneWithoutItsFolderIsRefused)
{
    Open();
    ChooseCommon(3);  // the second "Temporary files": the first of that name loads
    EXPECT_EQ(TempFolder(), Field(IDC_TASK_FOLDER));
    EXPECT_TRUE(Checked(IDC_TASK_SUBFOLDERS));
    EXPECT_TRUE(Checked(IDC_TASK_DELETE_EMPTY));
    EXPECT_EQ((Strings{"*.tmp", "~*.*"}), Types());
    EXPECT_TRUE(BoxRecorder::boxes.empty());

    ChooseCommon(2);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("This folder cannot be found on this computer. Please choose another folder.", LastBox());
    EXPECT_EQ("Error", BoxRecorder::boxes[0].caption);
    Click(IDOK);
    EXPECT_EQ(2u, BoxRecorder::boxes.size());
    EXPECT_TRUE(IsWindow(Dialog()));
    EXPECT_TRUE(task.folder.empty());
}

TEST_F(DeletionTaskDlgTest, TheFileTypeListAddsReplacesAndDeletesAndRefusesWhatCannotBeStored)
{
    Open();
    Type(IDC_TASK_TYPE, "*.tmp");
    EXPECT_TRUE(Enabled(IDC_TASK_ADD));
    Click(IDC_TASK_ADD);
    Click(IDC_TASK_ADD);  // duplicates are allowed
    Type(IDC_TASK_TYPE, "*.bak");
    Click(IDC_TASK_ADD);
    EXPECT_EQ((Strings{"*.bak", "*.tmp", "*.tmp"}), Types());
    for (const char* bad : {"a\tb", "#%#"}) {
        Type(IDC_TASK_TYPE, bad);
        Click(IDC_TASK_ADD);
    }
    EXPECT_EQ((Strings{"A file type cannot contain tabs or line breaks.", "#%# cannot be used as a file type."}),
              (Strings{BoxRecorder::boxes.at(0).text, BoxRecorder::boxes.at(1).text}));
    EXPECT_EQ(3u, Types().size());

    ASSERT_TRUE(SelectListItem(Dialog(), IDC_TASK_TYPES, "*.bak"));
    EXPECT_EQ("*.bak", Field(IDC_TASK_TYPE));
    EXPECT_TRUE(Enabled(IDC_TASK_REPLACE));
    EXPECT_TRUE(Enabled(IDC_TASK_DELETE));
    Type(IDC_TASK_TYPE, "*.old");
    Click(IDC_TASK_REPLACE);
    EXPECT_EQ((Strings{"*.old", "*.tmp", "*.tmp"}), Types());
    EXPECT_FALSE(Enabled(IDC_TASK_REPLACE));
    ASSERT_TRUE(SelectListItem(Dialog(), IDC_TASK_TYPES, "*.old"));
    Click(IDC_TASK_DELETE);
    EXPECT_EQ((Strings{"*.tmp", "*.tmp"}), Types());
    EXPECT_EQ("", Field(IDC_TASK_TYPE));
    EXPECT_FALSE(Enabled(IDC_TASK_ADD));
    EXPECT_FALSE(Enabled(IDC_TASK_DELETE));
}

TEST_F(DeletionTaskDlgTest, OkWithoutFileTypesAsksAndOnlyYesAddsAllFilesAndStoresTheTask)
{
    Open();
    Type(IDC_TASK_FOLDER, dir.File("work\\"));
    Click(IDC_TASK_EXCLUDE);
    Click(IDOK);
    ASSERT_EQ(2u, BoxRecorder::boxes.size());
    EXPECT_EQ("Do you want to include all files in this folder?", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Question", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), BoxRecorder::boxes[0].type);
    EXPECT_EQ("Please specify at least one file type!", BoxRecorder::boxes[1].text);
    EXPECT_EQ("Notice", BoxRecorder::boxes[1].caption);
    EXPECT_TRUE(IsWindow(Dialog()));
    EXPECT_TRUE(task.folder.empty());

    BoxRecorder::answers.push_back(IDYES);
    Click(IDOK);
    EXPECT_FALSE(IsWindow(Dialog()));
    EXPECT_EQ(dir.File("work\\"), task.folder);
    EXPECT_EQ(1, task.excludeFileTypes);
    EXPECT_EQ(0, task.includeSubfolders);
    EXPECT_EQ(Strings{"*.*"}, task.fileTypes);
}

TEST_F(DeletionTaskDlgTest, OkRefusesFoldersNoTaskMayCleanWithTheReason)
{
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    task.folder = "C:\\Keep";
    task.fileTypes = {"*.tmp"};
    Open();
    const Strings folders = {"", "C:\\", windows, "relative\\path", std::string(windows, 2) + "\\users"};
    for (const std::string& folder : folders) {
        Type(IDC_TASK_FOLDER, folder);
        Click(IDOK);
    }
    ASSERT_EQ(folders.size(), BoxRecorder::boxes.size());
    EXPECT_EQ("Please enter the folder to clean.", BoxRecorder::boxes[0].text);
    EXPECT_EQ("A whole drive cannot be cleaned. Please choose a folder on it.", BoxRecorder::boxes[1].text);
    EXPECT_EQ("This folder is the Windows folder. It cannot be cleaned.", BoxRecorder::boxes[2].text);
    EXPECT_EQ("Please enter the full path of the folder, with its drive (for example C:\\Temp).",
              BoxRecorder::boxes[3].text);
    // C:\users holds the profile, and here the program folder (this test's own) too.
    EXPECT_EQ(0u, BoxRecorder::boxes[4].text.find("This folder holds ")) << BoxRecorder::boxes[4].text;
    EXPECT_TRUE(IsWindow(Dialog()));
    EXPECT_EQ("C:\\Keep", task.folder);
}

TEST_F(DeletionTaskDlgTest, OkRefusesEverySpellingThatLeadsToAProtectedFolderOrIsALink)
{
    // The program folder is protected too: here one named in Greek, below a
    // folder with a short name.
    const std::string parent = dir.File("Long Parent Folder");
    const std::string program = parent + "\\Πρόγραμμα";
    const std::string sibling = dir.File("Sibling");
    const std::string links = dir.File("Links");
    for (const std::string& folder : {parent, program, sibling, links})
        MakeFolder(folder);
    const std::string shortParent = ShortFormOf(parent);
    ASSERT_FALSE(shortParent.empty());
    char windows[MAX_PATH] = "";
    ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
    char profile[MAX_PATH] = "";
    ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, profile));
    const std::string profileName = strrchr(profile, '\\');  // \root of C:\users\root
    const std::string users(profile, strlen(profile) - profileName.size());
    FolderLinks made(dir.Path());
    ASSERT_TRUE(made.Make(links, "ToSibling", "..\\Sibling"));
    ASSERT_TRUE(made.MakeToWindowsFolder(links, "ToWindows"));
    SubstitutedDrive onWindows;
    SubstitutedDrive onUsers;
    ASSERT_TRUE(onWindows.Make('S', windows));
    ASSERT_TRUE(onUsers.Make('T', users));
    task.folder = "C:\\Keep";
    task.fileTypes = {"*.tmp"};
    Open(program);
    const std::string isSystem = "This folder is the Windows system folder. It cannot be cleaned.";
    const struct {
        std::string folder;
        std::string message;
    } cases[] = {
        {links + "\\ToSibling\\", "This folder is a link to another folder. It cannot be cleaned."},
        {links + "\\ToWindows\\system32", isSystem},
        {"S:\\system32", isSystem},
        {"T:" + profileName, "This folder is your profile folder. It cannot be cleaned."},
        {parent + "\\ΠΡΌΓΡΑΜΜΑ", "This folder is the program's own folder. It cannot be cleaned."},
        {shortParent, "This folder holds the program's own folder. It cannot be cleaned."},
    };
    for (const auto& c : cases) {
        BoxRecorder::Reset();
        Type(IDC_TASK_FOLDER, c.folder);
        Click(IDOK);
        EXPECT_EQ(c.message, LastBox()) << c.folder;
    }
    EXPECT_EQ("C:\\Keep", task.folder);
    // The plain folder the link leads to is taken.
    Type(IDC_TASK_FOLDER, sibling);
    Click(IDOK);
    EXPECT_FALSE(IsWindow(Dialog()));
    EXPECT_EQ(sibling, task.folder);
}

TEST_F(DeletionTaskDlgTest, PreviewListsWhatTheTaskWouldDeleteAndDeletesNothing)
{
    const std::string work = dir.File("work");
    CreateDirectoryA(work.c_str(), nullptr);
    for (const char* name : {"a.tmp", "b.tmp", "c.txt"})
        MakeFile(work + "\\" + name);
    task.folder = work;
    task.fileTypes = {"*.tmp"};
    Open();
    std::string summary;
    Strings listed;
    const bool seen = WhileModal([&] { Click(IDC_TASK_PREVIEW); }, "Preview",
                                 [&](HWND preview) {
                                     summary = WindowText(GetDlgItem(preview, IDC_PREVIEW_SUMMARY));
                                     listed = ListItems(preview, IDC_PREVIEW_LIST);
                                     PostMessageA(preview, WM_COMMAND, IDCANCEL, 0);
                                     return true;
                                 });
    EXPECT_TRUE(seen);
    EXPECT_EQ("2 files would be deleted now.", summary);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ((Strings{work + "\\a.tmp", work + "\\b.tmp"}), listed);
    EXPECT_EQ((Strings{"a.tmp", "b.tmp", "c.txt"}), Names(work));
}

TEST_F(DeletionTaskDlgTest, RemovingATaskGoesOnOnlyOnYes)
{
    BoxRecorder::answers = {IDYES, IDNO, IDCANCEL};
    EXPECT_TRUE(CDeletionTaskDlg::ConfirmRemoval(nullptr, &BoxRecorder::Show));
    EXPECT_FALSE(CDeletionTaskDlg::ConfirmRemoval(nullptr, &BoxRecorder::Show));
    EXPECT_FALSE(CDeletionTaskDlg::ConfirmRemoval(nullptr, &BoxRecorder::Show));
    EXPECT_EQ("Are you sure you want to delete this task?", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Confirm", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), BoxRecorder::boxes[0].type);
}

TEST_F(DeletionTaskDlgTest, AnAgeBeyondOneTo36500DaysIsRefusedWithAMessageAndAGoodOneIsStored)
{
    task.folder = dir.File("work");
    task.fileTypes = {"*.tmp"};
    task.olderThanDays = 3;
    Open();
    EXPECT_EQ("3", Field(IDC_TASK_AGE));
    for (const char* bad : {"-1", "100000", "2.5"}) {
        BoxRecorder::Reset();
        Type(IDC_TASK_AGE, bad);
        Click(IDOK);
        ASSERT_EQ(1u, BoxRecorder::boxes.size()) << bad;
        EXPECT_EQ(CDeletionTaskDlg::kAgeText, LastBox());
        EXPECT_TRUE(IsWindow(Dialog()));
        EXPECT_EQ(3, task.olderThanDays);
    }
    Type(IDC_TASK_AGE, "14");
    Click(IDOK);
    EXPECT_FALSE(IsWindow(Dialog()));
    EXPECT_EQ(14, task.olderThanDays);
}
