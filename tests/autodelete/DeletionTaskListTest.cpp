// The task list and its two files, read and written as bytes.
#include "autodelete/DeletionTaskList.h"
#include "files/TaskFolderCheck.h"

#include "common/Log.h"
#include "tests/common/LoggedFolderTest.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kHeader[] = "KTX_FILE\tDERVANE AUTODELETE\r\nVERSION\t1.0\r\n";

DeletionTask Task(const std::string& folder, std::vector<std::string> types, int sub = 0, int exclude = 0,
                  int empty = 0)
{
    DeletionTask t;
    t.folder = folder;
    t.fileTypes = std::move(types);
    t.includeSubfolders = static_cast<unsigned char>(sub);
    t.excludeFileTypes = static_cast<unsigned char>(exclude);
    t.deleteEmptySubfolders = static_cast<unsigned char>(empty);
    return t;
}

std::vector<std::string> Folders(const CDeletionTaskList& list)
{
    std::vector<std::string> folders;
    for (const DeletionTask& t : list.Tasks())
        folders.push_back(t.folder);
    return folders;
}

class DeletionTaskListTest : public LoggedFolderTest {
protected:
    std::string file = dir.File("AutoDelete.txt");
    CDeletionTaskList list;
};

}  // namespace

TEST_F(DeletionTaskListTest, WritesTheDocumentedRecordsAndReadsThemBack)
{
    ASSERT_EQ(1, list.Add(Task("C:\\Temp", {"*.tmp", "~*.*"}, 1, 0, 1)));
    ASSERT_EQ(1, list.Add(Task("D:\\Cache", {}, 0, 1, 0)));
    EXPECT_EQ(ListSaveResult::kWritten, list.Save(file));
    EXPECT_FALSE(list.IsModified());
    EXPECT_EQ(std::string(kHeader) +
                  "ENTRY_0\tC:\\Temp\t1\t0\t1\r\nENTRY_0_TYPE_0\t*.tmp\r\nENTRY_0_TYPE_1\t~*.*\r\n"
                  "ENTRY_0_TYPE_2\t#%#\r\nENTRY_1\tD:\\Cache\t0\t1\t0\r\nENTRY_1_TYPE_0\t#%#\r\n",
              ReadBytes(file));
    EXPECT_FALSE(FileExists(file + ".new"));

    CDeletionTaskList read;
    ASSERT_EQ(1, read.Load(file));
    ASSERT_EQ(2u, read.Tasks().size());
    const DeletionTask& t = read.Tasks()[0];
    EXPECT_EQ("C:\\Temp", t.folder);
    EXPECT_EQ(1, t.includeSubfolders);
    EXPECT_EQ(0, t.excludeFileTypes);
    EXPECT_EQ(1, t.deleteEmptySubfolders);
    EXPECT_EQ((std::vector<std::string>{"*.tmp", "~*.*"}), t.fileTypes);
    EXPECT_TRUE(read.Tasks()[1].fileTypes.empty());
    EXPECT_EQ(1, read.Tasks()[1].excludeFileTypes);
}

TEST_F(DeletionTaskListTest, AddDropsADuplicateEditMovesToTheEndRemoveClosesTheGap)
{
    list.Add(Task("C:\\A", {"*.a"}));
    list.Add(Task("C:\\B", {"*.b"}));
    list.Add(Task("C:\\C", {"*.c"}));
    list.SetModified(false);
    EXPECT_EQ(0, list.Add(Task("C:\\B", {"*.x"})));
    EXPECT_FALSE(list.IsModified());
    EXPECT_EQ(-1, list.Find("c:\\b"));
    list.Replace(list.Find("C:\\A"), Task("C:\\A", {"*.new"}));
    EXPECT_EQ((std::vector<std::string>{"C:\\B", "C:\\C", "C:\\A"}), Folders(list));
    EXPECT_EQ("*.new", list.Tasks()[2].fileTypes[0]);
    list.Remove(list.Find("C:\\C"));
    EXPECT_EQ((std::vector<std::string>{"C:\\B", "C:\\A"}), Folders(list));
    EXPECT_TRUE(list.IsModified());
}

TEST_F(DeletionTaskListTest, ReadingFollowsTheRecordsEdgeCases)
{
    WriteBytes(file,
               std::string(kHeader) +
                   // empty pattern passed over; flags other than 0 read as set
                   "ENTRY_0\tC:\\A\t7\t\t1\r\nENTRY_0_TYPE_0\t\r\nENTRY_0_TYPE_1\t*.a\r\nENTRY_0_TYPE_2\t#%#\r\n"
                   // no end mark: its patterns may be cut short, so the task goes
                   "ENTRY_1\tC:\\B\r\nENTRY_1_TYPE_0\t*.b\r\n"
                   // only a folder; a second task for C:\A is no task
                   "ENTRY_2\tC:\\C\r\nENTRY_2_TYPE_0\t#%#\r\nENTRY_3\tc:\\a\\\t0\t0\t0\r\nENTRY_3_TYPE_0\t#%#\r\n");
    ASSERT_EQ(1, list.Load(file));
    EXPECT_EQ((std::vector<std::string>{"C:\\A", "C:\\C"}), Folders(list));
    const DeletionTask& a = list.Tasks()[0];
    EXPECT_EQ(1, a.includeSubfolders);
    EXPECT_EQ(0, a.excludeFileTypes);
    EXPECT_EQ(std::vector<std::string>{"*.a"}, a.fileTypes);
    EXPECT_TRUE(list.KeepsOldFile());
    EXPECT_NE(std::string::npos, ErrorLog().find("AutoDelete.txt: entry 1 skipped: its parts have no end mark"));
    EXPECT_NE(std::string::npos, ErrorLog().find("AutoDelete.txt: entry 3 skipped: a second task for its folder"));
    EXPECT_NE(std::string::npos, ErrorLog().find("AutoDelete.txt read in part (2 skipped)"));

    WriteBytes(file, "KTX_FILE\tDERVANE ICON HIDE\r\nENTRY_0\tC:\\A\t0\t0\t0\r\n");
    EXPECT_EQ(0, list.Load(file));
    EXPECT_TRUE(list.Tasks().empty());
    EXPECT_NE(std::string::npos, ErrorLog().find("AutoDelete.txt not read: it is no DERVANE AUTODELETE file"));
    EXPECT_EQ(0, list.Load(dir.File("none.txt")));
    EXPECT_NE(std::string::npos, ErrorLog().find("> WARNING: Cannot read AutoDelete.txt file"));
}

TEST_F(DeletionTaskListTest, AFailedSaveLeavesTheOldFileAndKeepsTheListModified)
{
    WriteBytes(file, std::string(kHeader) + "ENTRY_0\tC:\\Old\t0\t0\t0\r\nENTRY_0_TYPE_0\t#%#\r\n");
    const std::string old = ReadBytes(file);
    list.Add(Task("C:\\New", {"*.tmp"}));
    // A record too long to be read back ends the writing half way.
    list.Add(Task("C:\\" + std::string(1100, 'x'), {"*.tmp"}));
    EXPECT_EQ(ListSaveResult::kFailed, list.Save(file));
    EXPECT_TRUE(list.IsModified());
    EXPECT_EQ(old, ReadBytes(file));
    EXPECT_FALSE(FileExists(file + ".new"));
    EXPECT_NE(std::string::npos, ErrorLog().find("Cannot write AutoDelete.txt file"));

    list.Remove(1);
    EXPECT_EQ(ListSaveResult::kFailed, list.Save(dir.File("no-such-folder/AutoDelete.txt")));
    EXPECT_NE(std::string::npos, ErrorLog().find("Cannot create AutoDelete.txt file"));
    EXPECT_TRUE(list.IsModified());
    EXPECT_EQ(ListSaveResult::kWritten, list.Save(file));
    EXPECT_EQ(ListSaveResult::kNotChanged, list.Save(file));
}

TEST_F(DeletionTaskListTest, CommonFoldersAreExpandedNamedAndMarkedWhenAMacroIsMissing)
{
    const std::string common = dir.File("AutoDeleteCommon.txt");
    WriteBytes(common,
               std::string(kHeader) +
                   "ENTRY_0\t%WINDOWS_TEMP%\t1\t0\t1\tTemporary files\r\nENTRY_0_TYPE_0\t*.*\r\n"
                   "ENTRY_0_TYPE_1\t#%#\r\nENTRY_1\t%IE_TEMP%\t1\t0\t0\tBrowser cache\r\n"
                   "ENTRY_1_TYPE_0\t#%#\r\n");
    auto expand = [](std::string& text) {
        const bool found = text.find("%IE_TEMP%") == std::string::npos;
        size_t at = text.find("%WINDOWS_TEMP%");
        if (at != std::string::npos)
            text.replace(at, 14, "C:\\Temp");
        return found;
    };
    const std::vector<DeletionTask> tasks = CDeletionTaskList::LoadCommonFolders(common, expand);
    ASSERT_EQ(2u, tasks.size());
    EXPECT_EQ("C:\\Temp", tasks[0].folder);
    EXPECT_EQ("Temporary files", tasks[0].name);
    EXPECT_FALSE(tasks[0].missingMacro);
    EXPECT_EQ(std::vector<std::string>{"*.*"}, tasks[0].fileTypes);
    EXPECT_EQ("Browser cache", tasks[1].name);
    EXPECT_TRUE(tasks[1].missingMacro);
    EXPECT_TRUE(CDeletionTaskList::LoadCommonFolders(dir.File("none.txt"), expand).empty());
    EXPECT_EQ("", ErrorLog());
}

TEST_F(DeletionTaskListTest, BadFilesLoadWithoutHarmAndTheirBadFoldersAreRefused)
{
    static const char kNulEntry[] = "ENTRY_0\tC:\\A\0B\t1\t1\t1\r\n";
    std::string bytes = kHeader;
    bytes += std::string(kNulEntry, sizeof kNulEntry - 1) + "ENTRY_0_TYPE_0\t" + std::string(300, '*') + "\r\n";
    bytes += "ENTRY_0_TYPE_1\t#%#\r\n";
    bytes += "ENTRY_1\t..\\..\\x\t1\r\nENTRY_1_TYPE_0\t#%#\r\n";
    for (int i = 2; i < 10000; i++)
        bytes += "ENTRY_" + std::to_string(i) + "\tC:\\T" + std::to_string(i) + "\t0\t0\t0\r\nENTRY_" +
            std::to_string(i) + "_TYPE_0\t*.tmp\r\nENTRY_" + std::to_string(i) + "_TYPE_1\t#%#\r\n";
    WriteBytes(file, bytes);
    ASSERT_EQ(1, list.Load(file));
    ASSERT_EQ(10000u, list.Tasks().size());
    EXPECT_EQ("C:\\A", list.Tasks()[0].folder);  // a value reads up to its first NUL
    EXPECT_EQ(std::vector<std::string>{std::string(300, '*')}, list.Tasks()[0].fileTypes);
    EXPECT_EQ(FolderProblem::kRelative, CheckTaskFolder(list.Tasks()[1].folder, {}).problem);
    EXPECT_EQ("C:\\T9999", list.Tasks().back().folder);

    // A 5,000-character line is no record, nor is any piece of it: the
    // task that misses it goes, the one after it is read.
    WriteBytes(file,
               std::string(kHeader) + "ENTRY_0\tC:\\A\t0\t0\t0\r\nENTRY_0_TYPE_0\t" + std::string(5000, '\t') +
                   "\r\nENTRY_0_TYPE_1\t#%#\r\nENTRY_1\tC:\\B\t0\t0\t0\r\nENTRY_1_TYPE_0\t#%#\r\n");
    ASSERT_EQ(1, list.Load(file));
    EXPECT_EQ(std::vector<std::string>{"C:\\B"}, Folders(list));
}

TEST_F(DeletionTaskListTest, AnAgeIsTheLastFieldOlderFilesLackItAndADamagedOneIsAnyAgeLogged)
{
    // A file of a version without ages: its tasks read with any age and are
    // written back byte for byte.
    const std::string old = std::string(kHeader) +
        "ENTRY_0\tC:\\A\t1\t0\t1\r\nENTRY_0_TYPE_0\t*.tmp\r\n"
        "ENTRY_0_TYPE_1\t#%#\r\nENTRY_1\tC:\\B\t0\t0\t0\r\nENTRY_1_TYPE_0\t#%#\r\n";
    WriteBytes(file, old);
    ASSERT_EQ(1, list.Load(file));
    ASSERT_EQ(2u, list.Tasks().size());
    EXPECT_EQ(0, list.Tasks()[0].olderThanDays);
    EXPECT_FALSE(list.KeepsOldFile());
    list.SetModified(true);
    list.Save(file);
    EXPECT_EQ(old, ReadBytes(file));

    DeletionTask aged = Task("C:\\C", {"*.*"});
    aged.olderThanDays = 7;
    ASSERT_EQ(1, list.Add(aged));
    list.Save(file);
    EXPECT_EQ(old + "ENTRY_2\tC:\\C\t0\t0\t0\t7\r\nENTRY_2_TYPE_0\t*.*\r\nENTRY_2_TYPE_1\t#%#\r\n", ReadBytes(file));

    WriteBytes(file,
               std::string(kHeader) +
                   "ENTRY_0\tC:\\A\t0\t0\t0\t-1\r\nENTRY_0_TYPE_0\t#%#\r\n"
                   "ENTRY_1\tC:\\B\t0\t0\t0\t100000\r\nENTRY_1_TYPE_0\t#%#\r\n"
                   "ENTRY_2\tC:\\C\t0\t0\t0\t36500\r\nENTRY_2_TYPE_0\t#%#\r\n"
                   "ENTRY_3\tC:\\D\t0\t0\t0\t7 days\r\nENTRY_3_TYPE_0\t#%#\r\n");
    ASSERT_EQ(1, list.Load(file));
    ASSERT_EQ((std::vector<std::string>{"C:\\A", "C:\\B", "C:\\C", "C:\\D"}), Folders(list));
    EXPECT_EQ(0, list.Tasks()[0].olderThanDays);
    EXPECT_EQ(0, list.Tasks()[1].olderThanDays);
    EXPECT_EQ(36500, list.Tasks()[2].olderThanDays);
    EXPECT_EQ(0, list.Tasks()[3].olderThanDays);
    EXPECT_TRUE(list.KeepsOldFile());
    EXPECT_NE(std::string::npos,
              ErrorLog().find("AutoDelete.txt: entry 1 age \"100000\" read as any age (0 to 36500 days)"));
    EXPECT_NE(std::string::npos, ErrorLog().find("AutoDelete.txt read in part (3 skipped)"));

    // The ready-made tasks: the name, then the age.
    const std::string common = dir.File("AutoDeleteCommon.txt");
    WriteBytes(common, std::string(kHeader) + "ENTRY_0\tC:\\T\t1\t0\t1\tTemporary files\t1\r\nENTRY_0_TYPE_0\t#%#\r\n");
    const std::vector<DeletionTask> tasks = CDeletionTaskList::LoadCommonFolders(common, nullptr);
    ASSERT_EQ(1u, tasks.size());
    EXPECT_EQ("Temporary files", tasks[0].name);
    EXPECT_EQ(1, tasks[0].olderThanDays);
}

// The engine's test sees only what the file system keeps; Wine keeps no
// creation time of its own, so the copy's case is taken here too.
TEST(TaskAgeTest, AFileIsNewWhileItsWriteOrItsCreationLiesWithinTheAge)
{
    const uint64_t day = 24ull * 60 * 60 * 10000000;
    const uint64_t now = 150000 * day;
    const uint64_t since = TaskNewSince(7, now);
    EXPECT_EQ(now - 7 * day, since);
    EXPECT_FALSE(IsNewForTask(now - 8 * day, now - 8 * day, since));
    EXPECT_TRUE(IsNewForTask(now - 30 * day, now - day, since));  // copied or extracted a day ago
    EXPECT_TRUE(IsNewForTask(now - 2 * day, now - 30 * day, since));  // written two days ago
    EXPECT_EQ(0u, TaskNewSince(0, now));
    EXPECT_FALSE(IsNewForTask(now, now, 0));  // any age: nothing is new
    EXPECT_NE(0u, TaskNewSince(kMaxTaskAgeDays, 5 * day));  // an age reaching before 1601 still keeps what is new
}
