// The deletion schedule and the File Shredder window in the running program
// (and the Backup window beside it where both drop windows are concerned). Run only in a prefix whose drives stay inside it and the build
// folder (tests/harness/session.sh): these tests delete files.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/Utf8.h"
#include "framework/ScopedHandles.h"
#include "autodelete/AutoDeleteResource.h"
#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"

namespace {

// The texts of a dialog's static controls (a message box's text is one).
std::string StaticTexts(HWND dialog)
{
    std::string texts;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM lp) -> BOOL {
            char name[32] = "";
            char text[2048] = "";
            GetClassNameA(child, name, sizeof name);
            if (_stricmp(name, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
                *reinterpret_cast<std::string*>(lp) += std::string(text) + "\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// How many top-level windows of process pid have this class and caption.
int CountWindows(DWORD pid, const char* className, const char* caption)
{
    struct Count {
        DWORD pid;
        const char* className;
        const char* caption;
        int found;
    } count{pid, className, caption, 0};
    EnumWindows(
        [](HWND window, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Count*>(lp);
            DWORD owner = 0;
            char name[64] = "";
            char text[256] = "";
            GetWindowThreadProcessId(window, &owner);
            GetClassNameA(window, name, sizeof name);
            GetWindowTextA(window, text, sizeof text);
            if (owner == c->pid && strcmp(name, c->className) == 0 && strcmp(text, c->caption) == 0)
                ++c->found;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.found;
}

class ProgramDeleteTest : public ProgramTrashTestBase {
protected:
    // A task deleting *.tmp in the trash folder.
    void StoreTask()
    {
        const std::string text = "KTX_FILE\tDERVANE AUTODELETE\nVERSION\t1.0\nENTRY_0\t" + m_trash +
            "\t0\t0\t0\nENTRY_0_TYPE_0\t*.tmp\nENTRY_0_TYPE_1\t#%#\n";
        ASSERT_TRUE(m_folder.WriteFile("AutoDelete.txt", text));
    }
    void StorePeriod(uint8_t enabled, int32_t days, int32_t seconds, uint32_t lastAction)
    {
        ASSERT_TRUE(WriteProgramBinary("Property Delete AutoDel Enabled", &enabled, 1));
        ASSERT_TRUE(WriteProgramBinary("Property Delete AutoDel Days", &days, 4));
        ASSERT_TRUE(WriteProgramBinary("Property Delete AutoDel Seconds", &seconds, 4));
        ASSERT_TRUE(WriteProgramBinary("Property Delete AutoDel Last Action", &lastAction, 4));
    }
    HWND Shredder() const { return Shown(m_program.FindWindowOf(nullptr, "Dervane Delete Icon")); }
    HWND BackupWindow() const { return Shown(m_program.FindWindowOf(nullptr, "Dervane Backup Icon")); }
    // Shows the sheet on the Delete page (the page with the "Add..." button
    // 1251) and answers the page's window.
    HWND ShowDeletePage() { return ShowPageWith(1251); }
    // Shows the sheet on the page that has the control id and answers the
    // page's window.
    HWND ShowPageWith(int id)
    {
        if (!m_program.Command(40001) || !WaitFor([&] { return m_program.SheetVisible(); }, 10000))
            return nullptr;
        const HWND sheet = m_program.Sheet();
        for (int index = 0; index < 16; ++index) {
            if (!SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0))
                return nullptr;
            const HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
            if (page && GetDlgItem(page, id))
                return page;
        }
        return nullptr;
    }

    // Adds a task for folder with the one file type *.tmp through the page's
    // "Add..." and its editor; true once the page lists count tasks (an
    // error box is reported and closed).
    bool AddTaskThroughEditor(HWND page, const std::string& folder, LRESULT count)
    {
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(1251, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1251)));
        HWND editor = nullptr;
        // Shown only once its initialisation, which empties the fields, is over.
        if (!WaitFor(
                [&] {
                    editor = m_program.FindWindowOf("#32770", "Add Automated Deletion Task");
                    return editor && IsWindowVisible(editor);
                },
                10000))
            return false;
        // The folder and one file type, added to the editor's list, then OK.
        SetDlgItemTextA(editor, 5201, folder.c_str());
        SetDlgItemTextA(editor, 5207, "*.tmp");
        PostMessageA(editor, WM_COMMAND, MAKEWPARAM(5209, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(editor, 5209)));
        EXPECT_TRUE(WaitFor([&] { return SendDlgItemMessageA(editor, 5208, LB_GETCOUNT, 0, 0) == 1; }, 5000));
        PostMessageA(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        const bool added = WaitFor([&] { return SendDlgItemMessageA(page, 1250, LB_GETCOUNT, 0, 0) == count; }, 10000);
        if (HWND box = m_program.FindWindowOf("#32770", "Error")) {
            ADD_FAILURE() << StaticTexts(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        return added;
    }
};

}  // namespace

TEST_F(ProgramDeleteTest, ADayNeverRunDeletesAtStartAndRecordsTheTime)
{
    StoreKnownLook();
    StoreTask();
    StorePeriod(1, 1, 0, 0);
    const std::string file = m_trash + "\\old.tmp";
    const std::string kept = m_trash + "\\keep.txt";
    ASSERT_TRUE(MakeEmptyFile(file));
    ASSERT_TRUE(MakeEmptyFile(kept));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    EXPECT_TRUE(WaitFor([&] { return !PathExists(file); }, 10000));
    EXPECT_TRUE(PathExists(kept));
    EXPECT_TRUE(
        WaitFor([] { return ReadProgramBinary("Property Delete AutoDel Last Action") != std::string(4, '\0'); }, 5000));
    DeleteFileA(kept.c_str());
}

TEST_F(ProgramDeleteTest, TheGeneralSwitchOffStopsTheStartUpRun)
{
    StoreKnownLook();
    StoreTask();
    StorePeriod(1, 1, 0, 0);
    const uint8_t zero = 0, one = 1;
    ASSERT_TRUE(WriteProgramBinary("Property General Enabled", &zero, 1));
    ASSERT_TRUE(WriteProgramBinary("Property Delete AutoDel At Start", &one, 1));
    const std::string file = m_trash + "\\old.tmp";
    ASSERT_TRUE(MakeEmptyFile(file));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(m_program.Start(m_folder));
    ASSERT_TRUE(WaitFor([&] { return Shredder() != nullptr; }, 20000));
    // A posted command comes only once the start-up (and its run) is over.
    ASSERT_TRUE(m_program.Command(40001));
    ASSERT_TRUE(WaitFor([&] { return m_program.SheetVisible(); }, 10000));
    EXPECT_TRUE(PathExists(file));
    EXPECT_EQ(std::string(4, '\0'), ReadProgramBinary("Property Delete AutoDel Last Action"));
    DeleteFileA(file.c_str());
}

TEST_F(ProgramDeleteTest, TheShredderComesBackOnScreenAndDeletesADropButNotTheProgramFolder)
{
    StoreKnownLook();
    const int32_t farAway[2] = {100000, -50000};
    ASSERT_TRUE(WriteProgramBinary("Property Delete Desktop Icon Pos", farAway, sizeof farAway));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    HWND shredder = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (shredder = Shredder()) != nullptr; }, 10000));
    RECT rect = {};
    GetWindowRect(shredder, &rect);
    EXPECT_LE(rect.right, GetSystemMetrics(SM_CXVIRTUALSCREEN) + GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_GE(rect.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    {
        // As large as its picture, whatever the screen's scale makes of its
        // template's dialog units.
        ScopedModule program(LoadLibraryExA(m_folder.ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(program.IsValid());
        ScopedBitmap picture(static_cast<HBITMAP>(
            LoadImageA(program.Get(), MAKEINTRESOURCEA(IDB_SHREDDER_ICON), IMAGE_BITMAP, 0, 0, 0)));
        BITMAP info = {};
        ASSERT_TRUE(GetObjectA(picture.Get(), sizeof info, &info));
        EXPECT_EQ(info.bmWidth, rect.right - rect.left);
        EXPECT_EQ(info.bmHeight, rect.bottom - rect.top);
    }
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(COMPLEXREGION, GetWindowRgn(shredder, region)) << "cut to its outline";
    DeleteObject(region);

    const std::string folder = m_trash + "\\dropped";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(MakeEmptyFile(folder + "\\a.txt"));
    ASSERT_TRUE(MakeEmptyFile(m_trash + "\\b.txt"));
    ASSERT_TRUE(DropOn(m_program.Pid(), shredder, {folder, "C:\\", m_trash + "\\b.txt", m_folder.Path()}));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_program.FindWindowOf("#32770", "Error")) != nullptr; }, 10000))
        << "the drive and the program folder are refused in a message";
    const std::string text = StaticTexts(box);
    EXPECT_NE(std::string::npos, text.find("C:\\ (a whole drive)")) << text;
    EXPECT_NE(std::string::npos, text.find(m_folder.Path() + " (")) << text;
    EXPECT_EQ(1, CountWindows(m_program.Pid(), "#32770", "Error")) << "one message for the whole drop";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !PathExists(folder) && !PathExists(m_trash + "\\b.txt"); }, 10000));
    EXPECT_TRUE(PathExists(m_folder.ExePath()));
    EXPECT_TRUE(PathExists("C:\\windows"));

    // Hidden through the page: its place (brought back onto the screen) is stored.
    GetWindowRect(shredder, &rect);
    const HWND page = ShowDeletePage();
    ASSERT_NE(nullptr, page);
    SendMessageA(GetDlgItem(page, 1241), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(page, 1257), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return Shredder() == nullptr; }, 5000));
    const int32_t stored[2] = {rect.left, rect.top};
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stored), 8),
              ReadProgramBinary("Property Delete Desktop Icon Pos"));
    EXPECT_EQ(std::string(1, '\0'), ReadProgramBinary("Property Delete Desktop Icon"));
}

TEST_F(ProgramDeleteTest, ExitWhileADropsDialogListsFailuresWaitsForItAndSavesThePlace)
{
    StoreKnownLook();
    const int32_t place[2] = {60, 70};
    ASSERT_TRUE(WriteProgramBinary("Property Delete Desktop Icon Pos", place, sizeof place));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    HWND shredder = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (shredder = Shredder()) != nullptr; }, 10000));
    RECT rect = {};
    GetWindowRect(shredder, &rect);
    EXPECT_EQ(60, rect.left) << "where it was stored";
    EXPECT_EQ(70, rect.top);
    // A file held open without sharing cannot be deleted: the dialog stays with the list.
    const std::string busy = m_trash + "\\busy.txt";
    HANDLE held = CreateFileA(busy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(DropOn(m_program.Pid(), shredder, {busy}));
    ASSERT_TRUE(WaitFor([&] { return m_program.FindWindowOf("#32770", "Deleting Files...") != nullptr; }, 10000));
    ASSERT_TRUE(DropOn(m_program.Pid(), shredder, {busy})) << "a second drop waits its turn";
    // The sheet, never made yet, is made and shown while the drop's dialog runs.
    ASSERT_TRUE(m_program.Command(40001));
    EXPECT_TRUE(WaitFor([&] { return m_program.SheetVisible(); }, 10000));
    ASSERT_TRUE(m_program.Command(40002));  // Exit
    EXPECT_EQ(0, m_program.WaitExit(20000)) << "ends cleanly once the dialogs have closed";
    CloseHandle(held);
    DeleteFileA(busy.c_str());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(place), 8),
              ReadProgramBinary("Property Delete Desktop Icon Pos"));
}

TEST_F(ProgramDeleteTest, ATaskAddedWithTheShredderOffIsInTheTaskFileAfterExit)
{
    StoreKnownLook();
    const uint8_t off = 0;
    ASSERT_TRUE(WriteProgramBinary("Property Delete Desktop Icon", &off, 1));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    const HWND page = ShowDeletePage();
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(nullptr, Shredder());
    ASSERT_TRUE(AddTaskThroughEditor(page, m_trash, 1));
    // Cancel hides the sheet and leaves the page as it is; then exit.
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(1256, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1256)));
    ASSERT_TRUE(WaitFor([&] { return !m_program.SheetVisible(); }, 10000));
    ASSERT_TRUE(m_program.Command(40002));
    EXPECT_EQ(0, m_program.WaitExit(20000));
    const std::string tasks = m_folder.ReadFile("AutoDelete.txt");
    EXPECT_NE(std::string::npos, tasks.find("ENTRY_0\t" + m_trash + "\t0\t0\t0")) << tasks;
    EXPECT_NE(std::string::npos, tasks.find("ENTRY_0_TYPE_0\t*.tmp")) << tasks;
}

// The list files as an earlier version wrote them, in code page 1252 ("é" is
// the byte E9): read as the letters they were, left byte for byte as they
// were by a run without a change (the Delete page shown, the Recycle Bin's
// hide rule seen at start), written in UTF-8 after a change.
TEST_F(ProgramDeleteTest, ListsOfAnEarlierVersionAreReadRightAndRewrittenOnlyAfterAChange)
{
    StoreKnownLook();
    const std::wstring folder = Utf8ToWide(m_trash.c_str()) + L"\\Caf\u00E9";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::string tasks = "KTX_FILE\tDERVANE AUTODELETE\r\nVERSION\t1.0\r\nENTRY_0\t" + m_trash +
        "\\Caf\xE9\t0\t0\t0\r\nENTRY_0_TYPE_0\t*.tmp\r\nENTRY_0_TYPE_1\t#%#\r\n";
    const std::string rules =
        "KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\nENTRY_0\tRecycle Bin\t0\r\nENTRY_1\tR\xE9sum\xE9*\t0\r\n";
    const std::pair<const char*, std::string> others[] = {
        {"IconHide.txt", rules},
        {"Backup.txt",
         "KTX_FILE\tDERVANE BACKUP\r\nVERSION\t1.0\r\nCUSTOM\t0\r\nCUSTOM_COMMAND\t\t\r\nPOST_COMMAND\t\t\t0\r\n"
         "ENTRY_0\tR\xE9sum\xE9s\t1\t0\r\nENTRY_0_SOURCE\tC:\\Donn\351es\r\nENTRY_0_DEST\tC:\\Copie\r\n"
         "ENTRY_0_TYPE_0\t*.*\r\nENTRY_0_TYPE_1\t#%#\r\n"},
        {"Respond.txt",
         "KTX_FILE\tDERVANE RESPOND\r\nVERSION\t1.0\r\nENTRY_0\tR\xE9ponse\t1\tremplacer\t3\t0\r\n"
         "ENTRY_0_ACTION_0\t1\tOui\t0\t0\r\nENTRY_0_ACTION_1\t#%#\r\n"},
        {"TrayIcons.txt",
         "KTX_FILE\tDERVANE TRAY ICONS\r\nVERSION\t1.0\r\nENTRY_0\tCaf\xE9\t\t0\r\nENTRY_0_ITEM_0\t#%#\r\n"},
    };
    ASSERT_TRUE(m_folder.WriteFile("AutoDelete.txt", tasks));
    for (const auto& other : others)
        ASSERT_TRUE(m_folder.WriteFile(other.first, other.second));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    HWND page = ShowDeletePage();
    ASSERT_NE(nullptr, page);
    // Read back wide: the program's own code page is not in the way.
    wchar_t shown[MAX_PATH] = L"";
    SendDlgItemMessageW(page, 1250, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(folder, shown);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(1256, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1256)));
    ASSERT_TRUE(WaitFor([&] { return !m_program.SheetVisible(); }, 10000));
    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_EQ(0, m_program.WaitExit(20000));
    EXPECT_EQ(tasks, m_folder.ReadFile("AutoDelete.txt"));
    for (const auto& other : others)
        EXPECT_EQ(other.second, m_folder.ReadFile(other.first)) << other.first;
    EXPECT_NE(std::string::npos, m_folder.ReadFile("ErrorLog.txt").find("AutoDelete.txt in the older encoding"));

    // The task edited and kept as it was is a change: the file is written in UTF-8.
    ASSERT_TRUE(StartReady(m_program));
    page = ShowDeletePage();
    ASSERT_NE(nullptr, page);
    SendDlgItemMessageA(page, 1250, LB_SETCURSEL, 0, 0);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(1252, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1252)));
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (editor = m_program.FindWindowOf("#32770", "Edit Automated Deletion Task")) != nullptr; }, 10000));
    PostMessageA(editor, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    const bool closed = WaitFor([&] { return !IsWindow(editor); }, 10000);
    if (HWND box = m_program.FindWindowOf("#32770", "Error")) {
        ADD_FAILURE() << StaticTexts(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    ASSERT_TRUE(closed);
    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_EQ(0, m_program.WaitExit(20000));
    const std::string written = m_folder.ReadFile("AutoDelete.txt");
    EXPECT_NE(std::string::npos, written.find("ENTRY_0\t" + m_trash + "\\Caf\xC3\xA9\t0\t0\t0\r\n")) << written;
    for (const auto& other : others)
        EXPECT_EQ(other.second, m_folder.ReadFile(other.first)) << other.first;
    RemoveDirectoryW(folder.c_str());
}

// Lists that were not read whole: a damaged first task (its type run never
// closed) before a whole one, behind a byte-order mark; a Respond.txt of
// another kind; a TrayIcons.txt held by another program at start. A run
// without a change leaves every file as it was, each logged; Add, Cancel,
// the sheet opened again and exit keep the task added, and the old
// AutoDelete.txt is kept beside it as AutoDelete.txt.bak.
TEST_F(ProgramDeleteTest, ListsNotReadWholeAreLeftAsTheyWereAndKeptBesideAChange)
{
    StoreKnownLook();
    const std::string tasks = "\xEF\xBB\xBFKTX_FILE\tDERVANE AUTODELETE\r\nVERSION\t1.0\r\nENTRY_0\t" + m_trash +
        "\\Broken\t0\t0\t0\r\nENTRY_0_TYPE_0\t*.tmp\r\nENTRY_1\t" + m_trash +
        "\t0\t0\t0\r\nENTRY_1_TYPE_0\t*.old\r\nENTRY_1_TYPE_1\t#%#\r\n";
    const std::string respond = "KTX_FILE\tDERVANE TRAY ICONS\r\nVERSION\t1.0\r\n";
    const std::string tray = "KTX_FILE\tDERVANE TRAY ICONS\r\nVERSION\t1.0\r\nENTRY_0\tMine\t\t0\r\n"
                             "ENTRY_0_ITEM_0\t#%#\r\n";
    ASSERT_TRUE(m_folder.WriteFile("AutoDelete.txt", tasks));
    ASSERT_TRUE(m_folder.WriteFile("Respond.txt", respond));
    ASSERT_TRUE(m_folder.WriteFile("TrayIcons.txt", tray));
    ScopedHandle held(CreateFileA((m_folder.Path() + "\\TrayIcons.txt").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    held.Reset();
    HWND page = ShowDeletePage();
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(1, SendDlgItemMessageA(page, 1250, LB_GETCOUNT, 0, 0)) << "the whole task after the damaged one";
    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_EQ(0, m_program.WaitExit(20000));
    EXPECT_EQ(tasks, m_folder.ReadFile("AutoDelete.txt"));
    EXPECT_EQ(respond, m_folder.ReadFile("Respond.txt"));
    EXPECT_EQ(tray, m_folder.ReadFile("TrayIcons.txt"));
    EXPECT_FALSE(PathExists(m_folder.Path() + "\\AutoDelete.txt.bak"));
    const std::string log = m_folder.ReadFile("ErrorLog.txt");
    for (const char* said : {"AutoDelete.txt read in part", "Respond.txt not read", "Cannot read TrayIcons.txt"})
        EXPECT_NE(std::string::npos, log.find(said)) << said << "\n" << log;

    // Add, Cancel, the sheet again, exit: the task is written, the old file kept.
    ASSERT_TRUE(StartReady(m_program));
    page = ShowDeletePage();
    ASSERT_NE(nullptr, page);
    const std::string added = m_trash + "\\Added";
    ASSERT_TRUE(CreateDirectoryA(added.c_str(), nullptr));
    ASSERT_TRUE(AddTaskThroughEditor(page, added, 2));
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(1256, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1256)));
    ASSERT_TRUE(WaitFor([&] { return !m_program.SheetVisible(); }, 10000));
    page = ShowDeletePage();
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(2, SendDlgItemMessageA(page, 1250, LB_GETCOUNT, 0, 0));
    ASSERT_TRUE(m_program.Command(40002));
    ASSERT_EQ(0, m_program.WaitExit(20000));
    const std::string written = m_folder.ReadFile("AutoDelete.txt");
    EXPECT_NE(std::string::npos, written.find(added + "\t0\t0\t0")) << written;
    EXPECT_NE(std::string::npos, written.find(m_trash + "\t0\t0\t0")) << written;
    EXPECT_EQ(tasks, m_folder.ReadFile("AutoDelete.txt.bak"));
    EXPECT_EQ(respond, m_folder.ReadFile("Respond.txt"));
    RemoveDirectoryA(added.c_str());
}

// Both drop windows stay where the user dragged them when their page is
// opened and applied, and that place is the one stored at exit.
TEST_F(ProgramDeleteTest, TheDropWindowsStayWhereDraggedWhenTheirPagesAreOpenedAndApplied)
{
    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    HWND shredder = nullptr;
    HWND backup = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (shredder = Shredder()) && (backup = BackupWindow()); }, 10000));
    const struct {
        HWND window;
        int left, top;
        int page, toggle, apply;  // the page's "Add..." button, a check box toggled twice, "Apply"
        const char* place;
    } windows[] = {{shredder, 140, 90, 1251, 1244, 1257, "Property Delete Desktop Icon Pos"},
                   {backup, 220, 150, 1263, 1261, 1269, "Property Backup Desktop Icon Pos"}};
    for (const auto& w : windows) {
        ASSERT_TRUE(SetWindowPos(w.window, nullptr, w.left, w.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
        const HWND page = ShowPageWith(w.page);
        ASSERT_NE(nullptr, page);
        for (int click = 0; click < 2; ++click)
            SendMessageA(GetDlgItem(page, w.toggle), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(page, w.apply), BM_CLICK, 0, 0);
        RECT rect = {};
        ASSERT_TRUE(GetWindowRect(w.window, &rect));
        EXPECT_EQ(w.left, rect.left) << w.place;
        EXPECT_EQ(w.top, rect.top) << w.place;
    }
    ASSERT_TRUE(m_program.Command(40002));
    EXPECT_EQ(0, m_program.WaitExit(20000));
    for (const auto& w : windows) {
        const int32_t place[2] = {w.left, w.top};
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(place), 8), ReadProgramBinary(w.place)) << w.place;
    }
}
