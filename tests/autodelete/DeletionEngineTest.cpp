// RunTask and the Preview on real folders of the test's own temporary tree
// (inside the prefix's drive C:, whose drives lead nowhere else).
#include "autodelete/DeletionEngine.h"
#include "files/DesktopDropWnd.h"  // DroppedPaths
#include "autodelete/FolderMacros.h"
#include "autodelete/TaskPreviewDlg.h"
#include "common/Log.h"
#include "files/SafeWalker.h"
#include "files/Win32WalkSystem.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/common/TempDir.h"
#include "tests/harness/WideText.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Names_ = std::vector<std::string>;

DeletionTask Task(const std::string& folder, std::vector<std::string> types, int sub, int exclude, int empty)
{
    DeletionTask task;
    task.folder = folder;
    task.fileTypes = std::move(types);
    task.includeSubfolders = static_cast<unsigned char>(sub);
    task.excludeFileTypes = static_cast<unsigned char>(exclude);
    task.deleteEmptySubfolders = static_cast<unsigned char>(empty);
    return task;
}

class DeletionEngineTest : public testing::Test {
protected:
    void SetUp() override
    {
        LogResetState();
        LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
        root = dir.File("Clean");
        MakeFolder(root);
    }
    void TearDown() override { LogResetState(); }
    std::string In(const std::string& relative) const { return root + "\\" + relative; }
    // Runs the task on its folder, which must lie in this test's tree.
    void Run(const DeletionTask& task)
    {
        ASSERT_TRUE(IsInside(task.folder, dir.Path()));
        RunTask(task.folder, task);
    }
    std::string ErrorLog() const
    {
        FILE* f = fopen(dir.File("ErrorLog.txt").c_str(), "rb");
        std::string text;
        if (!f)
            return text;
        char chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
            text.append(chunk, n);
        fclose(f);
        return text;
    }

    TempDir dir;
    std::string root;
};

}  // namespace

TEST_F(DeletionEngineTest, DeletesMatchingFilesAtEveryLevelAndRemovesEmptiedSubfoldersButNeverItsOwnFolder)
{
    MakeFile(In("a.tmp"));
    MakeFile(In("keep.txt"));
    MakeFolder(In("sub"));
    MakeFile(In("sub\\b.tmp"));
    MakeFolder(In("sub\\deeper"));
    MakeFile(In("sub\\deeper\\C.TMP"));
    MakeFolder(In("other"));
    MakeFile(In("other\\keep.doc"));
    MakeFile(In("ro.tmp"), true);
    Run(Task(root, {"*.tmp"}, 1, 0, 1));
    EXPECT_EQ((Names_{"keep.txt", "other"}), Names(root));
    EXPECT_EQ(Names_{"keep.doc"}, Names(In("other")));

    // Only emptied folders go, and the task's own folder stays when empty.
    Run(Task(root + "\\", {"*.*"}, 1, 0, 1));
    EXPECT_TRUE(Exists(root));
    EXPECT_TRUE(Names(root).empty());
}

TEST_F(DeletionEngineTest, PatternsMatchLongNamesOnlyAndWithoutSubfoldersNothingBelowIsTouched)
{
    MakeFile(In("a.htm"));
    MakeFile(In("b.html"));
    MakeFile(In("c.htmx"));
    MakeFile(In("Report.DOC"));
    MakeFolder(In("sub"));
    MakeFile(In("sub\\d.htm"));
    Run(Task(root, {"*.htm", "report.doc"}, 0, 0, 1));
    EXPECT_EQ((Names_{"b.html", "c.htmx", "sub"}), Names(root));
    EXPECT_EQ(Names_{"d.htm"}, Names(In("sub")));
}

TEST_F(DeletionEngineTest, ExcludingAllFileTypesDeletesNoFileYetRemovesEmptySubfolders)
{
    MakeFile(In("x.txt"));
    MakeFolder(In("empty"));
    MakeFolder(In("full"));
    MakeFile(In("full\\y.dat"));
    Run(Task(root, {"*.*"}, 1, 1, 1));
    EXPECT_EQ((Names_{"full", "x.txt"}), Names(root));
    // Excluding *.txt deletes every other file.
    Run(Task(root, {"*.txt"}, 1, 1, 1));
    EXPECT_EQ(Names_{"x.txt"}, Names(root));
}

TEST_F(DeletionEngineTest, NeverEntersALinkedFolderInsideTheTasksFolder)
{
    const std::string sibling = dir.File("Sibling");
    MakeFolder(sibling);
    for (const char* name : {"1.tmp", "2.tmp", "3.txt"})
        MakeFile(sibling + "\\" + name);
    MakeFolder(In("sub"));
    MakeFile(In("sub\\mine.tmp"));
    FolderLinks links(dir.Path());
    ASSERT_TRUE(links.Make(root, "link", "..\\Sibling"));
    ASSERT_TRUE(links.Make(In("sub"), "junction", sibling, true));
    Run(Task(root, {"*.*"}, 1, 0, 1));
    // The link as a task's own folder, also written with a trailing backslash
    // (which the system's path rules read as where it leads).
    Run(Task(In("link"), {"*.*"}, 1, 0, 1));
    Run(Task(In("link\\"), {"*.*"}, 1, 0, 1));
    EXPECT_FALSE(PreviewTask(Task(In("link\\"), {"*.*"}, 1, 0, 1)).refusal.empty());
    EXPECT_EQ((Names_{"1.tmp", "2.tmp", "3.txt"}), Names(sibling));
    EXPECT_EQ((Names_{"link", "sub"}), Names(root));
    EXPECT_EQ(Names_{"junction"}, Names(In("sub")));
    // The Preview agrees: nothing through the links.
    const TaskPreview preview = PreviewTask(Task(root, {"*.*"}, 1, 0, 1));
    EXPECT_EQ(0u, preview.count);
}

TEST_F(DeletionEngineTest, APathOfAThousandCharactersIsReachedExactly)
{
    const std::wstring wide = MakeDeepFolder(root, 10);
    ASSERT_GT(wide.size(), 1000u);
    for (const wchar_t* name : {L"\\deep.tmp", L"\\keep.txt"}) {
        HANDLE file = CreateFileW((wide + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
    }
    Run(Task(root, {"*.tmp"}, 1, 0, 1));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((wide + L"\\deep.tmp").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((wide + L"\\keep.txt").c_str()));
    EXPECT_EQ(std::string::npos, ErrorLog().find("Not deleted")) << ErrorLog();
}

// Names in every script, and fullwidth look-alikes of ".", "\\" that a
// listing in the system's code page once turned into "..\\Victim": each file
// is reached under its own name, and nothing outside the task's folder.
TEST_F(DeletionEngineTest, NamesInEveryScriptAreDeletedUnderTheirOwnNamesAndLookAlikesLeadNowhere)
{
    const std::wstring task = Wide(root) + L"\\Task";
    const std::wstring victim = Wide(root) + L"\\Victim";
    MakeFolderW(task);
    MakeFolderW(victim);
    MakeFileW(victim + L"\\outside.tmp");
    const std::wstring lookAlike = task + L"\\\uFF0E\uFF0E\uFF3CVictim";  // "．．＼Victim"
    MakeFolderW(lookAlike);
    MakeFileW(lookAlike + L"\\inside.tmp");
    for (const wchar_t* name : {L"\u041F\u0440\u0438\u0432\u0435\u0442.tmp", L"\u65E5\u672C.tmp", L"\U0001F600.tmp",
                                L"a.tmp", L"x\uFF0Etmp", L"\u00E9t\u00E9.txt"})
        MakeFileW(task + L"\\" + name);
    Run(Task(root + "\\Task", {"*.tmp"}, 1, 0, 1));
    EXPECT_EQ((std::vector<std::wstring>{L"x\uFF0Etmp", L"\u00E9t\u00E9.txt"}), WideNames(task))
        << "every *.tmp deleted, the emptied look-alike folder removed";
    EXPECT_EQ(std::vector<std::wstring>{L"outside.tmp"}, WideNames(victim)) << "the real Victim untouched";

    // '?' is one character, not one byte of one.
    MakeFileW(task + L"\\\u65E5\u672C.tmp");
    MakeFileW(task + L"\\a.tmp");
    MakeFileW(task + L"\\ab.tmp");
    Run(Task(root + "\\Task", {"??.tmp"}, 0, 0, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"a.tmp", L"x\uFF0Etmp", L"\u00E9t\u00E9.txt"}), WideNames(task));
    // Without case in every script: the pattern in capitals takes the small letters.
    Run(Task(root + "\\Task", {"\u00C9T\u00C9.*"}, 0, 0, 0));
    EXPECT_EQ((std::vector<std::wstring>{L"a.tmp", L"x\uFF0Etmp"}), WideNames(task));
}

// A file the task cannot delete is said in the log, with the reason.
TEST_F(DeletionEngineTest, AFileTheTaskCannotDeleteIsLoggedWithTheReason)
{
    MakeFile(In("open.tmp"));
    MakeFile(In("free.tmp"));
    HANDLE held = CreateFileA(In("open.tmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Run(Task(root, {"*.tmp"}, 0, 0, 0));
    CloseHandle(held);
    EXPECT_EQ(Names_{"open.tmp"}, Names(root));
    const std::string log = ErrorLog();
    EXPECT_NE(std::string::npos, log.find("Not deleted by a task")) << log;
    EXPECT_NE(std::string::npos, log.find("open.tmp")) << log;
    EXPECT_EQ(std::string::npos, log.find("free.tmp")) << log;
}

// The system's path rules cut a trailing dot or blank: "thesis.doc." would
// reach "thesis.doc", the very file the task keeps.
TEST_F(DeletionEngineTest, NamesEndingInADotOrABlankAreDeletedThemselvesNotTheirNeighbour)
{
    const std::wstring exact = L"\\\\?\\" + Wide(root) + L"\\";
    for (const wchar_t* name : {L"thesis.doc", L"thesis.doc.", L"thesis.doc "})
        MakeFileW(exact + name);
    ASSERT_EQ(3u, WideNames(Wide(root)).size());
    Run(Task(root, {"*.doc"}, 0, 1, 0));  // everything but *.doc
    EXPECT_EQ(std::vector<std::wstring>{L"thesis.doc"}, WideNames(Wide(root)));
}

// Half of a UTF-16 pair in a name on disk: UTF-8 has no spelling for it, and
// its stand-in (U+FFFD for the half) is the name of the file beside it. The
// task leaves it alone and says so; a drop of it is left out, never taken for
// its neighbour.
TEST_F(DeletionEngineTest, ANameWithHalfAPairIsLeftAloneAndNeverTakenForItsNeighbour)
{
    const std::wstring folder = Wide(root);
    const std::wstring lone = folder + L"\\bad\xD800.tmp";
    const std::wstring neighbour = folder + L"\\bad\xFFFD.tmp";
    // Dropped, it is left out (whether or not it is there).
    const HDROP drop = MakeDrop({lone, folder + L"\\other.txt"});
    ASSERT_NE(nullptr, drop);
    EXPECT_EQ(std::vector<std::string>{root + "\\other.txt"}, DroppedPaths(drop));
    GlobalFree(drop);

    // On disk (Wine's file system takes no such name; Windows' does).
    HANDLE file = CreateFileW(lone.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "this file system takes no such name";
    CloseHandle(file);
    MakeFileW(neighbour);
    Run(Task(root, {"*.tmp"}, 1, 0, 1));
    EXPECT_EQ(std::vector<std::wstring>{L"bad\xD800.tmp"}, WideNames(folder)) << "the neighbour went for itself";
    EXPECT_NE(std::string::npos, ErrorLog().find("not valid Unicode")) << ErrorLog();
    DeleteFileW(lone.c_str());
}

TEST_F(DeletionEngineTest, RefusedFoldersAreSkippedLoggedOnceAndAMissingFolderSaysNothing)
{
    // Were the refusal to fail, each of these would delete one marker file.
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string markerInWindows = std::string(windows) + "\\refusal.dervane-test";
    const std::string markerInRoot = std::string(windows, 3) + "refusal.dervane-test";
    MakeFile(markerInWindows);
    MakeFile(markerInRoot);
    std::string expandedToNothing = "%NAVIGATOR_TEMP%";
    EXPECT_FALSE(ExpandFolderMacros(expandedToNothing));
    for (const std::string& folder :
         {std::string(""), std::string(windows, 3), std::string(windows), expandedToNothing}) {
        DeletionTask task = Task(folder, {"*.dervane-test"}, 0, 0, 0);
        RunTask(folder, task);
        RunTask(folder, task);
        EXPECT_FALSE(PreviewTask(task).refusal.empty()) << folder;
    }
    EXPECT_TRUE(Exists(markerInWindows));
    EXPECT_TRUE(Exists(markerInRoot));
    DeleteFileA(markerInWindows.c_str());
    DeleteFileA(markerInRoot.c_str());
    const std::string log = ErrorLog();
    EXPECT_NE(std::string::npos, log.find("Deletion task skipped, folder refused: " + std::string(windows)));
    size_t lines = std::count(log.begin(), log.end(), '\n');
    EXPECT_EQ(3u, lines) << log;  // "" once (the empty expansion is the same text), C:\ once, the Windows folder once

    LogResetState();
    LogSetPath(dir.Path().c_str(), "ErrorLog2.txt", 1);
    RunTask(In("missing"), Task(In("missing"), {"*.*"}, 1, 0, 1));
    EXPECT_FALSE(Exists(dir.File("ErrorLog2.txt")));
}

TEST_F(DeletionEngineTest, ThePreviewListsExactlyWhatTheTaskThenDeletes)
{
    MakeFile(In("a.tmp"));
    MakeFile(In("b.txt"));
    MakeFolder(In("sub"));
    MakeFile(In("sub\\c.tmp"));
    const DeletionTask task = Task(root, {"*.tmp"}, 1, 0, 1);
    TaskPreview preview = PreviewTask(task, 1);
    EXPECT_EQ(2u, preview.count);
    EXPECT_EQ(1u, preview.paths.size());
    preview = PreviewTask(task);
    std::vector<std::string> listed = preview.paths;
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ((Names_{In("a.tmp"), In("sub\\c.tmp")}), listed);
    EXPECT_EQ((Names_{"a.tmp", "b.txt", "sub"}), Names(root));  // nothing deleted
    Run(task);
    for (const std::string& path : listed)
        EXPECT_FALSE(Exists(path)) << path;
    EXPECT_EQ(Names_{"b.txt"}, Names(root));
}

namespace {

ULONGLONG Now()
{
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

ULONGLONG DaysAgo(double days)
{
    return Now() - static_cast<ULONGLONG>(days * 864000000000.0);
}

FILETIME AsFileTime(ULONGLONG time)
{
    return FILETIME{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
}

ULONGLONG AsValue(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Sets a file's creation and last write times to so many days ago.
void SetAge(const std::string& path, double createdDaysAgo, double writtenDaysAgo)
{
    const FILETIME created = AsFileTime(DaysAgo(createdDaysAgo));
    const FILETIME written = AsFileTime(DaysAgo(writtenDaysAgo));
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    EXPECT_TRUE(SetFileTime(file, &created, nullptr, &written));
    CloseHandle(file);
}

// Whether the file system gives the file a creation and a last write time
// both before the moment.
bool WrittenAndCreatedBefore(const std::string& path, ULONGLONG moment)
{
    FILETIME created = {}, accessed = {}, written = {};
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool read = file != INVALID_HANDLE_VALUE && GetFileTime(file, &created, &accessed, &written);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return read && AsValue(created) < moment && AsValue(written) < moment;
}

}  // namespace

// A file is new while its last write or its creation lies within the age:
// a copy keeps its old write time but is created anew where it lies. (Wine
// keeps no creation time of its own: it gives the last write time for it,
// so there the copy goes; the rule itself is tested in the core tests.)
TEST_F(DeletionEngineTest, ATaskWithAnAgeDeletesOnlyFilesBothWrittenAndCreatedBeforeIt)
{
    const Names_ names = {"copied.tmp", "edited.tmp", "old.tmp", "week.tmp"};
    for (const std::string& name : names)
        MakeFile(In(name));
    SetAge(In("old.tmp"), 8, 8);
    SetAge(In("copied.tmp"), 1, 30);
    SetAge(In("edited.tmp"), 30, 2);
    SetAge(In("week.tmp"), 6.9, 6.9);
    Names_ old, kept;
    const ULONGLONG week = DaysAgo(7);
    for (const std::string& name : names)
        (WrittenAndCreatedBefore(In(name), week) ? old : kept).push_back(name);
    auto has = [](const Names_& list, const char* name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    ASSERT_TRUE(has(old, "old.tmp"));
    ASSERT_TRUE(has(kept, "edited.tmp") && has(kept, "week.tmp"));

    DeletionTask task = Task(root, {"*.tmp"}, 0, 0, 0);
    task.olderThanDays = 7;
    const TaskPreview preview = PreviewTask(task);
    EXPECT_EQ(old.size(), preview.count);
    EXPECT_NE(std::string::npos, CTaskPreviewDlg::Summary(preview).find(" older than 7 days would be deleted now."));
    Run(task);
    EXPECT_EQ(kept, Names(root));

    task.olderThanDays = 0;  // any age
    Run(task);
    EXPECT_EQ(Names_{}, Names(root));
}

// The race a walk must win: a folder listed, then swapped for a link before
// it is entered. The walker holds each folder it walks, so the folder cannot
// be moved away; a subfolder swapped between the listing and its opening is
// found out by its file number and left alone, as is what the link leads to.
TEST_F(DeletionEngineTest, AFolderSwappedForALinkAfterTheListingIsNotFollowed)
{
    const std::string elsewhere = dir.File("Elsewhere");
    MakeFolder(elsewhere);
    MakeFile(elsewhere + "\\precious.txt");
    MakeFolder(In("sub"));
    MakeFile(In("sub\\mine.txt"));
    CSafeWalker walker(WalkSystem(), IWalkSystem::Access::kDelete);
    CWalkItem top;
    ASSERT_TRUE(walker.OpenFolder(root, top).Ok());
    // Held: neither renamed nor removed while it is walked.
    EXPECT_FALSE(MoveFileW(Wide(root).c_str(), Wide(root + "-moved").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    std::vector<WalkEntry> entries;
    ASSERT_TRUE(walker.List(top, entries).Ok());
    ASSERT_EQ(1u, entries.size());
    // The swap, between the listing and the opening.
    ASSERT_TRUE(MoveFileW(Wide(In("sub")).c_str(), Wide(In("old")).c_str()));
    FolderLinks links(dir.Path());
    ASSERT_TRUE(links.Make(root, "sub", "..\\Elsewhere"));
    CWalkItem sub;
    EXPECT_EQ(WalkProblem::kChanged, walker.OpenEntry(top, entries[0], sub).problem);
    EXPECT_FALSE(sub.IsOpen());
    top.Close();
    EXPECT_EQ(Names_{"precious.txt"}, Names(elsewhere));
    EXPECT_EQ(Names_{"mine.txt"}, Names(In("old")));
}
