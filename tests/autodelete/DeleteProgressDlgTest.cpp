// The drop deletion under its progress dialog, run modally as the File
// Shredder window runs it, on folders of the test's own temporary tree.
#include "autodelete/AutoDeleteResource.h"
#include "autodelete/DeleteProgressDlg.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// The dialog with what a test needs to see: the bar at the end of the run,
// and, if asked, Cancel pressed while the entries are counted.
class WatchedDeleteDlg : public CDeleteProgressDlg {
public:
    using CDeleteProgressDlg::CDeleteProgressDlg;
    bool cancelWhileCounting = false;
    int pumps = 0;
    long rangeEnd = -1;
    long position = -1;
    ProgressFold whileWorking;

protected:
    void PumpOneMessage() override
    {
        pumps++;
        if (cancelWhileCounting && WindowText(GetItem(IDC_PROGRESS_STATUS)) == "Preparing to delete files...") {
            cancelWhileCounting = false;
            PostMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetItem(IDCANCEL)));
        }
        CDeleteProgressDlg::PumpOneMessage();
    }
    void RunWork() override
    {
        whileWorking = ReadProgressFold(GetHwnd());
        CDeleteProgressDlg::RunWork();
        rangeEnd = static_cast<long>(SendItem(IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE));
        position = static_cast<long>(SendItem(IDC_PROGRESS_BAR, PBM_GETPOS));
    }
};

// What the expanded dialog showed.
// The failures' paths, each without the reason that follows it.
Strings WithoutReasons(const Strings& listed)
{
    Strings paths;
    for (const std::string& text : listed) {
        const size_t reason = text.rfind(" (");
        EXPECT_NE(std::string::npos, reason) << text;
        paths.push_back(text.substr(0, reason));
    }
    return paths;
}

struct Expanded {
    std::string status;
    std::string button;
    ProgressFold fold;
    Strings listed;
    LRESULT extent = 0;
};

class DeleteProgressDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = dir.File("Drop");
        MakeFolder(root);
    }
    std::string In(const std::string& relative) const { return root + "\\" + relative; }

    // Runs the dialog on paths of this test's tree; when it stays open with
    // failures, reads it and presses "Close".
    INT_PTR Run(WatchedDeleteDlg& dialog, Expanded* seen = nullptr)
    {
        INT_PTR result = -1;
        WhileModal([&] { result = dialog.Run(); }, "Deleting Files...",
                   [&](HWND hwnd) {
                       if (WindowText(GetDlgItem(hwnd, IDCANCEL)) != "Close")
                           return false;
                       if (seen) {
                           seen->fold = ReadProgressFold(hwnd);
                           seen->status = WindowText(GetDlgItem(hwnd, IDC_PROGRESS_STATUS));
                           seen->button = WindowText(GetDlgItem(hwnd, IDCANCEL));
                           seen->listed = ListItems(hwnd, IDC_PROGRESS_FAILURES);
                           seen->extent = SendDlgItemMessageA(hwnd, IDC_PROGRESS_FAILURES, LB_GETHORIZONTALEXTENT, 0,
                                                              0);
                       }
                       ClickButton(hwnd, IDCANCEL);
                       return true;
                   });
        return result;
    }
    Strings Paths(std::initializer_list<std::string> relative) const
    {
        Strings paths;
        for (const std::string& r : relative) {
            paths.push_back(In(r));
            EXPECT_TRUE(IsInside(paths.back(), dir.Path()));
        }
        return paths;
    }

    TempDir dir;
    std::string root;
};

}  // namespace

TEST_F(DeleteProgressDlgTest, AFolderOfThreeFilesCountsFourStepsFourTimesAndGivesTheForegroundBack)
{
    MakeFolder(In("three"));
    for (const char* name : {"a", "b", "c"})
        MakeFile(In("three\\") + name, name[0] == 'b');
    HWND before = CreateWindowExA(0, "STATIC", "before", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                  nullptr);
    SetForegroundWindow(before);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == before; }));
    WatchedDeleteDlg dialog(nullptr, Paths({"three"}));
    EXPECT_EQ(4u, dialog.CountEntries(In("three")));
    EXPECT_EQ(IDOK, Run(dialog));
    EXPECT_EQ(before, dialog.PreviousForeground()) << GetForegroundWindow();
    // Collapsed where the failure list begins: Cancel whole, the list out of sight.
    EXPECT_LE(dialog.whileWorking.cancelBottom, dialog.whileWorking.clientBottom);
    EXPECT_EQ(dialog.whileWorking.listTop, dialog.whileWorking.clientBottom);
    EXPECT_EQ(4, dialog.rangeEnd);
    EXPECT_EQ(4, dialog.position);
    EXPECT_FALSE(Exists(In("three")));
    EXPECT_TRUE(dialog.Failures().empty());
    // Under Wine the foreground follows the X server's focus a moment later.
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == before; }));
    DestroyWindow(before);
}

TEST_F(DeleteProgressDlgTest, AFileInUseIsListedThenItsFolderAndTheDialogGrowsWithClose)
{
    MakeFolder(In("busy"));
    MakeFile(In("busy\\open.txt"));
    MakeFile(In("busy\\free.txt"));
    MakeFile(In("loose.txt"));
    HANDLE held = CreateFileA(In("busy\\open.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    WatchedDeleteDlg dialog(nullptr, Paths({"busy", "loose.txt", "gone.txt"}));
    Expanded seen;
    EXPECT_EQ(IDCANCEL, Run(dialog, &seen));
    CloseHandle(held);
    EXPECT_EQ("Errors encountered during deletion!", seen.status);
    EXPECT_EQ("Close", seen.button);
    EXPECT_LT(seen.fold.listBottom, seen.fold.clientBottom) << "the list whole";
    EXPECT_EQ((Strings{In("busy\\open.txt"), In("busy"), In("gone.txt")}), WithoutReasons(seen.listed));
    EXPECT_GT(seen.extent, 0);
    EXPECT_EQ(Strings{"open.txt"}, Names(In("busy")));
    EXPECT_FALSE(Exists(In("loose.txt")));
}

TEST_F(DeleteProgressDlgTest, LinkedFoldersAreListedAndTheirTargetsLeftWhole)
{
    const std::string sibling = dir.File("Sibling");
    MakeFolder(sibling);
    MakeFile(sibling + "\\precious.txt");
    MakeFolder(In("folder"));
    MakeFile(In("folder\\mine.txt"));
    FolderLinks links(dir.Path());
    ASSERT_TRUE(links.Make(In("folder"), "inner", "..\\..\\Sibling"));
    ASSERT_TRUE(links.Make(root, "dropped", sibling, true));
    WatchedDeleteDlg dialog(nullptr, Paths({"folder", "dropped"}));
    Expanded seen;
    Run(dialog, &seen);
    EXPECT_EQ((Strings{In("folder\\inner"), In("folder"), In("dropped")}), WithoutReasons(seen.listed));
    EXPECT_EQ(In("dropped") + " (It is a link to another folder.)", seen.listed.back());
    EXPECT_EQ(Strings{"precious.txt"}, Names(sibling));
    EXPECT_EQ(Strings{"inner"}, Names(In("folder")));
}

TEST_F(DeleteProgressDlgTest, AFolderAThousandCharactersDeepIsDeletedWhole)
{
    const std::string longName(100, 'n');
    const std::wstring wide = MakeDeepFolder(root, 10);
    ASSERT_GT(wide.size(), 1000u);
    HANDLE file = CreateFileW((wide + L"\\deep.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    WatchedDeleteDlg dialog(nullptr, Paths({longName}));
    Expanded seen;
    Run(dialog, &seen);
    EXPECT_TRUE(seen.listed.empty());
    EXPECT_EQ(Strings{}, Names(root));
}

TEST_F(DeleteProgressDlgTest, CancelWhileCountingDeletesNothing)
{
    MakeFolder(In("keep"));
    for (const char* name : {"a", "b", "c", "d"})
        MakeFile(In("keep\\") + name);
    WatchedDeleteDlg dialog(nullptr, Paths({"keep"}));
    dialog.cancelWhileCounting = true;
    EXPECT_EQ(IDCANCEL, Run(dialog));
    EXPECT_TRUE(dialog.IsCancelled());
    EXPECT_EQ((Strings{"a", "b", "c", "d"}), Names(In("keep")));
    EXPECT_TRUE(dialog.Failures().empty());
}

namespace {

// The bare mechanics on the deletion's template: 70,000 steps.
class SteppingDlg : public CProgressDlg {
public:
    SteppingDlg() : CProgressDlg(IDD_DELETE_PROGRESS, 333, "errors") { }
    long position = -1;
    long rangeEnd = -1;

protected:
    void RunWork() override
    {
        SetProgressRange(70000);
        for (int i = 0; i < 70000; i++)
            StepProgress();
        position = static_cast<long>(SendItem(IDC_PROGRESS_BAR, PBM_GETPOS));
        rangeEnd = static_cast<long>(SendItem(IDC_PROGRESS_BAR, PBM_GETRANGE, FALSE));
    }
};

}  // namespace

TEST(ProgressDlgTest, ABarOf70000StepsReachesItsEnd)
{
    SteppingDlg dialog;
    EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
    EXPECT_EQ(70000, dialog.rangeEnd);
    EXPECT_EQ(70000, dialog.position);
}

TEST_F(DeleteProgressDlgTest, ADropHandsOverEveryPathWholeAndATooLongOneIsListedNotCut)
{
    MakeFile(In("dropped.txt"));
    const std::string tooLong = In(std::string(300, 'x') + ".txt");
    // A DROPFILES block as the shell gives it: ANSI paths, each ended by a
    // NUL, the list by a second one.
    const std::string paths = In("dropped.txt") + '\0' + tooLong + '\0' + '\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + paths.size());
    ASSERT_NE(nullptr, block);
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), paths.data(), paths.size());
    GlobalUnlock(block);
    WatchedDeleteDlg dialog(nullptr, static_cast<HDROP>(block));
    GlobalFree(block);
    Expanded seen;
    Run(dialog, &seen);
    EXPECT_FALSE(Exists(In("dropped.txt")));
    EXPECT_EQ(Strings{tooLong}, WithoutReasons(seen.listed));
    EXPECT_EQ(2, dialog.rangeEnd);
}
