// The Delete page in the program's sheet over the deletion feature, with the
// test host in place of the program: its task list worked through its buttons and the real task editor,
// "Delete Now", the line of the last and next run, and its registry values as
// a user's registry may hold them. These tests delete files: they run only in
// a prefix whose drives stay inside it (AutoDeleteTestSupport checks).
#include "IconsPageFixture.h"
#include "autodelete/AutoDeleteResource.h"
#include "autodelete/DeletionFeature.h"
#include "autodelete/DeletionTaskDlg.h"
#include "autodelete/DeletionTaskList.h"
#include "autodelete/ShredderIconWnd.h"
#include "pages/DeletePage.h"
#include "pages/DeleteResource.h"
#include "pages/MainSheet.h"
#include "tests/files/FilesTestSupport.h"
#include "common/Utf8.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

namespace {

using Strings = std::vector<std::string>;

class DeletePageTest : public testing::Test {
protected:
    static std::string TestName() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }

    void SetUp() override
    {
        BoxRecorder::Reset();
        host.settings.enabled = 1;
        // No File Shredder window unless a test wants one.
        StoreByte("Property Delete Desktop Icon", 0);
        auto deletePage = std::make_unique<CDeletePage>(host, owner);
        page = deletePage.get();
        page->SetMessageBox(&BoxRecorder::Show);
        sheet.AddPage(std::move(deletePage));
        sheet.AddPage(std::make_unique<BlankPage>());
    }
    // The program's order at exit.
    void TearDown() override
    {
        owner.Stop();
        sheet.TearDown();
    }

    // The program's order: the feature starts (its settings, the schedule)
    // and shows its window, then the sheet (hidden) is made on this page.
    void Start()
    {
        owner.Start();
        owner.ShowWindows();
        CPropertySheet::SheetArgs args;
        caption = "Delete Page Test " + TestName();
        args.caption = caption.c_str();
        args.standardButtons = false;
        args.hideOnClose = true;
        ASSERT_EQ(1, sheet.Create(args));
        ASSERT_NE(nullptr, Page());
    }
    void StoreByte(const char* name, uint8_t value) { registry.Write(name, REG_BINARY, &value, 1); }
    void StoreLong(const char* name, int32_t value) { registry.Write(name, REG_BINARY, &value, 4); }
    void StoreTasks(const Strings& folders)
    {
        std::string text = "KTX_FILE\tDERVANE AUTODELETE\r\nVERSION\t1.0\r\n";
        for (size_t i = 0; i < folders.size(); ++i) {
            const std::string entry = "ENTRY_" + std::to_string(i);
            text += entry + "\t" + folders[i] + "\t0\t0\t0\r\n" + entry + "_TYPE_0\t*.tmp\r\n" + entry +
                "_TYPE_1\t#%#\r\n";
        }
        WriteBytes(TaskFile(), text);
    }
    std::string TaskFile() const { return dir.File("AutoDelete.txt"); }

    HWND Page() const { return page->GetHwnd(); }
    void Click(int id) { ClickButton(Page(), id); }
    bool Enabled(int id) const { return IsEnabled(Page(), id); }
    std::string Text(int id) const { return WindowText(GetDlgItem(Page(), id)); }
    Strings Tasks() const { return ListItems(Page(), IDC_DELETE_TASKS); }
    void DoubleClickTask(const std::string& folder)
    {
        ASSERT_TRUE(SelectListItem(Page(), IDC_DELETE_TASKS, folder));
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_DELETE_TASKS, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_DELETE_TASKS)));
    }

    TempDir dir;  // the program folder
    TempDir trash;  // what the tasks clean
    TestRegistry registry{TestName()};
    TestPageHost host{dir.Path(), registry.Roots()};
    CDeletionFeature owner{host, nullptr};
    CMainSheet sheet{host, PageOwners{}};
    CDeletePage* page = nullptr;  // owned by the sheet
    std::string caption;
};

// Stored seconds (the low 32 bits of the local clock's seconds since 1601)
// as the system writes that local date and time.
std::string LocalTimeText(uint32_t stored, uint32_t later = 0)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    FILETIME clock = {};
    SystemTimeToFileTime(&now, &clock);
    const uint64_t nowSeconds = ((static_cast<uint64_t>(clock.dwHighDateTime) << 32) | clock.dwLowDateTime) /
        10000000ull;
    const uint64_t ticks = (FullSeconds(stored, nowSeconds) + later) * 10000000ull;
    FILETIME file = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time = {};
    char date[80] = "";
    char hour[80] = "";
    EXPECT_TRUE(FileTimeToSystemTime(&file, &time));
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, hour, sizeof hour);
    return std::string(date) + " " + hour;
}

uint32_t StoredSeconds(const TestRegistry& registry, const char* name)
{
    const std::string bytes = registry.Stored(name);
    uint32_t value = 0;
    if (bytes.size() == sizeof value)
        memcpy(&value, bytes.data(), sizeof value);
    return value;
}

}  // namespace

TEST_F(DeletePageTest, AddEditAndDeleteWorkTheTaskListThroughTheEditorAndItsQuestion)
{
    const std::string first = trash.File("first");
    const std::string second = trash.File("second");
    StoreTasks({first});
    Start();
    EXPECT_EQ(Strings{first}, Tasks());
    EXPECT_FALSE(Enabled(IDC_DELETE_APPLY));
    EXPECT_FALSE(Enabled(IDC_DELETE_EDIT)) << "nothing selected";
    EXPECT_FALSE(Enabled(IDC_DELETE_REMOVE));

    // Add: the editor opens empty; its OK appends the task and enables Apply.
    std::string shownFolder = "?";
    EXPECT_TRUE(DriveModal([&] { Click(IDC_DELETE_ADD); }, "Add Automated Deletion Task",
                           [&](HWND editor) {
                               shownFolder = WindowText(GetDlgItem(editor, IDC_TASK_FOLDER));
                               TypeText(editor, IDC_TASK_FOLDER, second);
                               TypeText(editor, IDC_TASK_TYPE, "*.bak");
                               ClickButton(editor, IDC_TASK_ADD);
                               ClickButton(editor, IDOK);
                           }));
    EXPECT_EQ("", shownFolder);
    EXPECT_EQ((Strings{first, second}), Tasks());
    EXPECT_TRUE(Enabled(IDC_DELETE_APPLY));
    ASSERT_EQ(2u, owner.Tasks().Tasks().size());
    EXPECT_EQ(Strings{"*.bak"}, owner.Tasks().Tasks()[1].fileTypes);

    // Edit, and a double click, open the selected task; Cancel changes nothing.
    ASSERT_TRUE(SelectListItem(Page(), IDC_DELETE_TASKS, first));
    EXPECT_TRUE(Enabled(IDC_DELETE_EDIT));
    EXPECT_TRUE(Enabled(IDC_DELETE_REMOVE));
    EXPECT_TRUE(DriveModal([&] { Click(IDC_DELETE_EDIT); }, "Edit Automated Deletion Task",
                           [&](HWND editor) {
                               shownFolder = WindowText(GetDlgItem(editor, IDC_TASK_FOLDER));
                               TypeText(editor, IDC_TASK_FOLDER, trash.File("changed"));
                               ClickButton(editor, IDCANCEL);
                           }));
    EXPECT_EQ(first, shownFolder);
    EXPECT_EQ((Strings{first, second}), Tasks());
    Strings shownTypes;
    EXPECT_TRUE(DriveModal([&] { DoubleClickTask(second); }, "Edit Automated Deletion Task",
                           [&](HWND editor) {
                               shownTypes = ListItems(editor, IDC_TASK_TYPES);
                               TypeText(editor, IDC_TASK_FOLDER, trash.File("third"));
                               ClickButton(editor, IDOK);
                           }));
    EXPECT_EQ(Strings{"*.bak"}, shownTypes);
    EXPECT_EQ((Strings{first, trash.File("third")}), Tasks());

    // One task per folder: Add and Edit refuse a folder that has one (in
    // other letter case, with a trailing backslash) and say so; the editor
    // stays open.
    std::string upper = first;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    const auto refused = [&](HWND editor) {
        TypeText(editor, IDC_TASK_FOLDER, upper + "\\");
        TypeText(editor, IDC_TASK_TYPE, "*.old");
        ClickButton(editor, IDC_TASK_ADD);
        ClickButton(editor, IDOK);
        EXPECT_TRUE(IsWindowVisible(editor));
        ClickButton(editor, IDCANCEL);
    };
    EXPECT_TRUE(DriveModal([&] { Click(IDC_DELETE_ADD); }, "Add Automated Deletion Task", refused));
    EXPECT_TRUE(DriveModal([&] { DoubleClickTask(trash.File("third")); }, "Edit Automated Deletion Task", refused));
    EXPECT_EQ((Strings{first, trash.File("third")}), Tasks());
    ASSERT_EQ(2u, BoxRecorder::boxes.size());
    for (const RecordedBox& box : BoxRecorder::boxes)
        EXPECT_EQ(CDeletionTaskDlg::kFolderTakenText, box.text);
    BoxRecorder::Reset();

    // Delete asks first: No keeps the task, Yes removes it.
    ASSERT_TRUE(SelectListItem(Page(), IDC_DELETE_TASKS, first));
    BoxRecorder::answers = {IDNO};
    Click(IDC_DELETE_REMOVE);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Are you sure you want to delete this task?", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Confirm", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(Page(), BoxRecorder::boxes[0].owner);
    EXPECT_EQ((Strings{first, trash.File("third")}), Tasks());
    BoxRecorder::answers = {IDYES};
    Click(IDC_DELETE_REMOVE);
    EXPECT_EQ(Strings{trash.File("third")}, Tasks());
    EXPECT_FALSE(Enabled(IDC_DELETE_EDIT));

    // Leaving the page writes the list.
    sheet.SetActivePage(1);
    const std::string stored = ReadBytes(TaskFile());
    EXPECT_NE(std::string::npos, stored.find("ENTRY_0\t" + trash.File("third") + "\t")) << stored;
    EXPECT_EQ(std::string::npos, stored.find(first)) << stored;
}

TEST_F(DeletePageTest, TheLongestFolderInCyrillicGoesThroughTheEditorAndIntoTheListWhole)
{
    const std::string folder = LongestCyrillicFolder();
    ASSERT_EQ(257u, Utf16Length(folder));
    Start();
    EXPECT_TRUE(DriveModal([&] { Click(IDC_DELETE_ADD); }, "Add Automated Deletion Task",
                           [&](HWND editor) {
                               // Typed as the keyboard types: UTF-16.
                               SetDlgItemTextW(editor, IDC_TASK_FOLDER, Utf8ToWide(folder.c_str()).c_str());
                               TypeText(editor, IDC_TASK_TYPE, "*.tmp");
                               ClickButton(editor, IDC_TASK_ADD);
                               ClickButton(editor, IDOK);
                           }));
    EXPECT_TRUE(BoxRecorder::boxes.empty()) << BoxRecorder::boxes[0].text;
    sheet.SetActivePage(1);
    const std::string stored = ReadBytes(TaskFile());
    EXPECT_NE(std::string::npos, stored.find("\r\nENTRY_0\t" + folder + "\t")) << stored;
}

TEST_F(DeletePageTest, DeleteNowRunsEveryTaskWithTheScheduleAndTheFeaturesOff)
{
    const std::string a = trash.File("a");
    const std::string b = trash.File("b");
    MakeFolder(a);
    MakeFolder(b);
    StoreTasks({a, b});
    host.settings.enabled = 0;
    Start();
    EXPECT_EQ("Last run: never; next: not scheduled", Text(IDC_DELETE_LAST_RUN));
    for (const std::string& folder : {a, b}) {
        MakeFile(folder + "\\old.tmp");
        MakeFile(folder + "\\keep.txt");
    }
    Click(IDC_DELETE_NOW);
    EXPECT_EQ(Strings{"keep.txt"}, Names(a));
    EXPECT_EQ(Strings{"keep.txt"}, Names(b));
    EXPECT_EQ(kMissingValue, registry.Stored("Property Delete AutoDel Last Action")) << "no scheduled run";
    EXPECT_EQ("Last run: never; next: not scheduled", Text(IDC_DELETE_LAST_RUN));
    EXPECT_TRUE(BoxRecorder::boxes.empty());
}

TEST_F(DeletePageTest, TheLastRunLineFollowsTheScheduledRuns)
{
    const std::string folder = trash.File("cache");
    MakeFolder(folder);
    MakeFile(folder + "\\old.tmp");
    StoreTasks({folder});
    StoreByte("Property Delete AutoDel Enabled", 1);
    StoreLong("Property Delete AutoDel Seconds", 2);
    Start();
    // Never run: due at once, at the feature's start.
    EXPECT_TRUE(Names(folder).empty());
    const uint32_t firstRun = StoredSeconds(registry, "Property Delete AutoDel Last Action");
    ASSERT_NE(0u, firstRun);
    EXPECT_EQ("Last run: " + LocalTimeText(firstRun) + "; next: " + LocalTimeText(firstRun, 2),
              Text(IDC_DELETE_LAST_RUN));

    // The timer's run records its time and the line shows it.
    MakeFile(folder + "\\new.tmp");
    ASSERT_TRUE(WaitFor([&] { return Names(folder).empty(); }, 8000)) << "the scheduled run came";
    ASSERT_TRUE(WaitFor([&] { return StoredSeconds(registry, "Property Delete AutoDel Last Action") != firstRun; }));
    const uint32_t secondRun = StoredSeconds(registry, "Property Delete AutoDel Last Action");
    EXPECT_GE(secondRun, firstRun + 2);
    EXPECT_EQ("Last run: " + LocalTimeText(secondRun) + "; next: " + LocalTimeText(secondRun, 2),
              Text(IDC_DELETE_LAST_RUN));

    // Enabled cleared and applied: nothing is scheduled any more.
    Click(IDC_DELETE_ENABLED);
    Click(IDC_DELETE_APPLY);
    EXPECT_EQ("Last run: " + LocalTimeText(secondRun) + "; next: not scheduled", Text(IDC_DELETE_LAST_RUN));
}

TEST_F(DeletePageTest, ValuesOfTheWrongSizeOrTypeGiveTheDefaultsAndAFarPlaceComesBackOnScreen)
{
    const uint8_t oneByte = 5;
    const uint8_t threeBytes[3] = {1, 2, 3};
    const uint8_t eightBytes[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    registry.Write("Property Delete AutoDel Days", REG_BINARY, &oneByte, 1);
    registry.Write("Property Delete AutoDel Hours", REG_SZ, "12", 3);
    registry.Write("Property Delete AutoDel Minutes", REG_BINARY, eightBytes, 8);
    registry.Write("Property Delete Desktop Icon Pos", REG_BINARY, threeBytes, 3);
    registry.Write("Property Delete Desktop Icon", REG_BINARY, eightBytes, 8);
    registry.Write("Property Delete AutoDel Enabled", REG_SZ, "\x01", 1);  // the right size, a string
    registry.Write("Property Delete AutoDel At Start", REG_DWORD, eightBytes, 4);
    registry.Write("Property Delete AutoDel Last Action", REG_BINARY, threeBytes, 3);
    Start();
    const DeleteSettings defaults;
    const DeleteSettings& read = owner.Settings();
    EXPECT_EQ(defaults.showIcon, read.showIcon);
    EXPECT_EQ(defaults.iconLeft, read.iconLeft);
    EXPECT_EQ(defaults.iconTop, read.iconTop);
    EXPECT_EQ(defaults.enabled, read.enabled);
    EXPECT_EQ(defaults.atStart, read.atStart);
    EXPECT_EQ(0, read.days);
    EXPECT_EQ(0, read.hours);
    EXPECT_EQ(0, read.minutes);
    EXPECT_EQ(0u, read.lastAction);
    EXPECT_FALSE(IsChecked(Page(), IDC_DELETE_ENABLED));
    EXPECT_EQ("", Text(IDC_DELETE_DAYS));
    EXPECT_EQ("", Text(IDC_DELETE_HOURS));
    ASSERT_NE(nullptr, owner.Shredder()) << "shown, as by default";
    const HWND shredder = owner.Shredder()->GetHwnd();
    RECT rect = {};
    GetWindowRect(shredder, &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(0, rect.top);

    // Stored places off every side of the screen: the whole window comes back on it.
    const int screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int32_t places[][2] = {{100000, -50000}, {-100000, 100000}, {INT32_MIN, INT32_MAX}};
    for (const auto& place : places) {
        registry.Write("Property Delete Desktop Icon Pos", REG_BINARY, place, 8);
        owner.Load();
        ASSERT_NE(nullptr, owner.Shredder());
        GetWindowRect(owner.Shredder()->GetHwnd(), &rect);
        EXPECT_GE(rect.left, 0) << place[0] << "," << place[1];
        EXPECT_GE(rect.top, 0) << place[0] << "," << place[1];
        EXPECT_LE(rect.right, screenWidth) << place[0] << "," << place[1];
        EXPECT_LE(rect.bottom, screenHeight) << place[0] << "," << place[1];
        EXPECT_TRUE(rect.left == 0 || rect.right == screenWidth) << "at the nearest edge";
    }
}

// A list not read whole whose old file cannot be kept (a folder stands where
// AutoDelete.txt.bak would go): Apply says so, the file stays as it was, and
// the change stays for the next save.
TEST_F(DeletePageTest, AChangeThatCannotBeWrittenIsSaidAndTheOldFileStays)
{
    const std::string kept = trash.File("kept");
    const std::string gone = trash.File("gone");
    const std::string text = "KTX_FILE\tDERVANE AUTODELETE\r\nVERSION\t1.0\r\nENTRY_0\t" + trash.File("broken") +
        "\t0\t0\t0\r\nENTRY_0_TYPE_0\t*.tmp\r\nENTRY_1\t" + kept + "\t0\t0\t0\r\nENTRY_1_TYPE_0\t#%#\r\nENTRY_2\t" +
        gone + "\t0\t0\t0\r\nENTRY_2_TYPE_0\t#%#\r\n";
    WriteBytes(TaskFile(), text);
    ASSERT_TRUE(CreateDirectoryA((TaskFile() + ".bak").c_str(), nullptr));
    Start();
    EXPECT_EQ((Strings{gone, kept}), Tasks());  // sorted
    ASSERT_TRUE(SelectListItem(Page(), IDC_DELETE_TASKS, gone));
    BoxRecorder::answers = {IDYES};
    Click(IDC_DELETE_REMOVE);
    BoxRecorder::Reset();
    Click(IDC_DELETE_APPLY);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Cannot write AutoDelete.txt. Your change is kept and written at the next save or when Dervane exits; "
              "the error log says why.",
              BoxRecorder::boxes[0].text);
    EXPECT_EQ(text, ReadBytes(TaskFile()));
    EXPECT_TRUE(owner.Tasks().IsModified());
    RemoveDirectoryA((TaskFile() + ".bak").c_str());
}

// Automated deletion with no page ever made: the feature alone runs its
// schedule on its own window and deletes what is dropped on its File Shredder.
TEST(DeletionFeatureAlone, TheScheduleRunsAndAShredderDropIsDeletedWithNoPage)
{
    TempDir dir;
    TempDir trash;
    TestRegistry registry{"DeletionFeatureAlone"};
    TestPageHost host{dir.Path(), registry.Roots()};
    host.settings.enabled = 1;
    WriteBytes(dir.File("AutoDelete.txt"),
               "KTX_FILE\tDERVANE AUTODELETE\r\nVERSION\t1.0\r\nENTRY_0\t" + trash.Path() +
                   "\t0\t0\t0\r\nENTRY_0_TYPE_0\t*.tmp\r\nENTRY_0_TYPE_1\t#%#\r\n");
    const uint8_t on = 1;
    const int32_t seconds = 1;
    registry.Write("Property Delete AutoDel Enabled", REG_BINARY, &on, 1);
    registry.Write("Property Delete AutoDel Seconds", REG_BINARY, &seconds, 4);
    MakeFile(trash.File("old.tmp"));
    MakeFile(trash.File("keep.txt"));

    CDeletionFeature owner(host, nullptr);
    owner.Start();
    EXPECT_FALSE(Exists(trash.File("old.tmp"))) << "never run: due at start";
    MakeFile(trash.File("new.tmp"));
    EXPECT_TRUE(WaitFor([&] { return !Exists(trash.File("new.tmp")); }, 8000)) << "the timer's run";

    ASSERT_NE(nullptr, owner.Shredder());
    const std::string dropped = trash.File("dropped.txt");
    MakeFile(dropped);
    const HDROP drop = MakeDrop({Utf8ToWide(dropped)});
    ASSERT_NE(nullptr, drop);
    ASSERT_TRUE(PostMessageA(owner.Shredder()->GetHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0));
    EXPECT_TRUE(WaitFor([&] { return !Exists(dropped) && !owner.InModalLoop(nullptr); }, 10000));
    EXPECT_TRUE(Exists(trash.File("keep.txt")));
    owner.Stop();
    EXPECT_EQ(nullptr, owner.Shredder());
    EXPECT_NE(0u, StoredSeconds(registry, "Property Delete AutoDel Last Action"));
}
