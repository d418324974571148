// A list file that was not read whole: what the reader gives and logs, and
// how the next write keeps the old file beside it.
#include "common/KeyedFileRewrite.h"
#include "common/ListFileReader.h"
#include "tests/common/LoggedFolderTest.h"

#ifdef _WIN32
#include <windows.h>

#include "common/Utf8.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <string>
#include <vector>

namespace {

const char kHeader[] = "\xEF\xBB\xBFKTX_FILE\tDERVANE TEST\r\nVERSION\t1.0\r\n";

class ListFileKeepTest : public LoggedFolderTest {
protected:
    // The values of the entries the reader gives, "<value>:<parts>".
    std::vector<std::string> Read(ListFileState* state, bool keepBroken = false)
    {
        CListFileReader reader(file, "DERVANE TEST", "PART", keepBroken);
        std::vector<std::string> read;
        if (reader.Open(nullptr)) {
            ListEntry entry;
            while (reader.Next(entry)) {
                std::string parts;
                for (const std::string& part : entry.run)
                    parts += part + ",";
                read.push_back(entry.value + ":" + parts);
            }
        }
        *state = reader.Finish();
        return read;
    }
    ListSaveResult Save(bool& changed, bool& keepOld)
    {
        return SaveChangedList(file, changed, keepOld, true, [](CKeyedTextFile& f) {
            return f.WriteHeader("DERVANE TEST") && f.Write("ENTRY_0", "new") && f.Write("ENTRY_0_PART_0", "#%#");
        });
    }

    std::string file = dir.File("List.txt");
};

}  // namespace

// A mark, a first entry without its own record, a broken run and an unended
// one: every other entry is read, and the file is kept before it is replaced.
TEST_F(ListFileKeepTest, ADamagedEntryCostsOnlyItselfAndTheOldFileIsKeptOnceBeforeTheNextWrite)
{
    const std::string old = std::string(kHeader) + "ENTRY_0_PART_0\tlost\r\nENTRY_0_PART_1\t#%#\r\n" +
        "ENTRY_1\tone\r\nENTRY_1_PART_0\ta\r\nENTRY_1_PART_1\t#%#\r\n" +
        "ENTRY_2\ttwo\r\nENTRY_2_PART_0\ta\r\nENTRY_2_PART_2\tb\r\nENTRY_2_PART_3\t#%#\r\n" +
        "ENTRY_3\tthree\r\nENTRY_3_PART_0\t#%#\r\nENTRY_4\tfour\r\nENTRY_4_PART_0\tc\r\n";
    WriteBytes(file, old);
    ListFileState state = ListFileState::kWhole;
    EXPECT_EQ((std::vector<std::string>{"one:a,", "three:"}), Read(&state));
    EXPECT_EQ(ListFileState::kPartial, state);
    EXPECT_EQ((std::vector<std::string>{"one:a,", "two:a,", "three:", "four:c,"}), Read(&state, true));
    const std::string log = ErrorLog();
    for (const char* line : {"List.txt: entry 0 skipped: its own record is missing",
                             "List.txt: entry 2 skipped: a part is missing",
                             "List.txt: entry 4 skipped: its parts have no end mark",
                             "List.txt: entry 2 read in part: a part is missing", "List.txt read in part (3 skipped)"})
        EXPECT_NE(std::string::npos, log.find(line)) << line;

    bool changed = false;
    bool keepOld = MustKeepOldFile(state);
    EXPECT_EQ(ListSaveResult::kNotChanged, Save(changed, keepOld));
    EXPECT_FALSE(FileExists(file + ".bak"));
    changed = true;
    EXPECT_EQ(ListSaveResult::kWritten, Save(changed, keepOld));
    EXPECT_EQ(old, ReadBytes(file + ".bak"));
    EXPECT_FALSE(keepOld);
    // The file now holds the whole list: a later write keeps no copy, and the
    // copy of the old file stays as it is.
    WriteBytes(file, "changed by hand");
    changed = true;
    EXPECT_EQ(ListSaveResult::kWritten, Save(changed, keepOld));
    EXPECT_EQ(old, ReadBytes(file + ".bak"));
}

// A file of one byte, another title, a file that cannot be opened: nothing
// read, each logged, and a copy that cannot be made leaves the file unwritten.
TEST_F(ListFileKeepTest, AFileNotReadIsLoggedAndNeverReplacedWithoutItsCopy)
{
    ListFileState state = ListFileState::kWhole;
    EXPECT_TRUE(Read(&state).empty());
    EXPECT_EQ(ListFileState::kMissing, state);
    EXPECT_EQ("", ErrorLog());
    for (const std::string old : {"K", "KTX_FILE\tDERVANE OTHER\r\nENTRY_0\tx\r\nENTRY_0_PART_0\t#%#\r\n"}) {
        WriteBytes(file, old);
        EXPECT_TRUE(Read(&state).empty());
        EXPECT_EQ(ListFileState::kOtherTitle, state);
        EXPECT_NE(std::string::npos, ErrorLog().find("List.txt not read: it is no DERVANE TEST file"));
    }
    // A folder where the copy would go: the copy fails, the file stays.
#ifdef _WIN32
    ASSERT_TRUE(CreateDirectoryW(Utf8ToWide((file + ".bak").c_str()).c_str(), nullptr));
#else
    ASSERT_EQ(0, mkdir((file + ".bak").c_str(), 0700));
#endif
    bool changed = true;
    bool keepOld = MustKeepOldFile(state);
    EXPECT_EQ(ListSaveResult::kFailed, Save(changed, keepOld));
    EXPECT_TRUE(changed);
    EXPECT_TRUE(keepOld);
    EXPECT_EQ("KTX_FILE\tDERVANE OTHER\r\nENTRY_0\tx\r\nENTRY_0_PART_0\t#%#\r\n", ReadBytes(file));
    EXPECT_NE(std::string::npos, ErrorLog().find("Cannot keep the old List.txt file as .bak: the list is not written"));
#ifdef _WIN32
    RemoveDirectoryW(Utf8ToWide((file + ".bak").c_str()).c_str());
    // Held open without sharing, as another program may hold it at start.
    const HANDLE held = CreateFileW(Utf8ToWide(file.c_str()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_TRUE(Read(&state).empty());
    EXPECT_EQ(ListFileState::kUnreadable, state);
    EXPECT_NE(std::string::npos, ErrorLog().find("Cannot read List.txt file: it is there but cannot be opened"));
    EXPECT_EQ(ListSaveResult::kFailed, Save(changed, keepOld));
    CloseHandle(held);
    EXPECT_EQ("KTX_FILE\tDERVANE OTHER\r\nENTRY_0\tx\r\nENTRY_0_PART_0\t#%#\r\n", ReadBytes(file));
    EXPECT_EQ(ListSaveResult::kWritten, Save(changed, keepOld));
    EXPECT_EQ("KTX_FILE\tDERVANE OTHER\r\nENTRY_0\tx\r\nENTRY_0_PART_0\t#%#\r\n", ReadBytes(file + ".bak"));
#else
    rmdir((file + ".bak").c_str());
#endif
}
