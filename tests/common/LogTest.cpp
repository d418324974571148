#include "common/DebugLog.h"
#include "common/Log.h"
#include "common/PathSep.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string Stamp(time_t t)
{
    struct tm local = *localtime(&t);
    char out[40];
    LogFormatTime(local, out, sizeof out);
    return out;
}

// Every test plays one or more processes, each starting from a fresh state.
class ErrorLogTest : public testing::Test {
protected:
    TempDir dir;
    std::string file = dir.File("ErrorLog.txt");

    void SetUp() override { LogResetState(); }
    void TearDown() override { LogResetState(); }

    // The entries of the log with their timestamps checked and removed, e.g.
    // "WARNING: text". Every line must end with CR LF.
    std::vector<std::string> Entries(time_t from = 0) const
    {
        std::string bytes = ReadBytes(file);
        std::vector<std::string> entries;
        size_t at = 0;
        while (at < bytes.size()) {
            size_t end = bytes.find("\r\n", at);
            if (end == std::string::npos) {
                ADD_FAILURE() << "line without CR LF: " << bytes.substr(at);
                break;
            }
            std::string line = bytes.substr(at, end - at);
            EXPECT_EQ(line.find('\n'), std::string::npos) << line;
            EXPECT_EQ(line.compare(kLogTimestampChars, 2, "> "), 0) << line;
            std::string stamp = line.substr(0, kLogTimestampChars);
            bool inRange = !from;
            for (time_t t = from; from && t <= time(nullptr) && !inRange; t++)
                inRange = Stamp(t) == stamp;
            EXPECT_TRUE(inRange) << "timestamp " << stamp;
            entries.push_back(line.size() > 26 ? line.substr(26) : "");
            at = end + 2;
        }
        return entries;
    }
};

TEST(LogTimeTest, FormatsWeekdayMonthTwoDigitDayTimeAndYear)
{
    struct tm when = {};
    when.tm_year = 80, when.tm_mon = 0, when.tm_mday = 2, when.tm_wday = 3;
    when.tm_hour = 2, when.tm_min = 3, when.tm_sec = 55;
    char out[40];
    LogFormatTime(when, out, sizeof out);
    EXPECT_STREQ(out, "Wed Jan 02 02:03:55 1980");
    when.tm_year = 123, when.tm_mon = 11, when.tm_mday = 31, when.tm_wday = 0;
    when.tm_hour = 23, when.tm_min = 59, when.tm_sec = 59;
    LogFormatTime(when, out, sizeof out);
    EXPECT_STREQ(out, "Sun Dec 31 23:59:59 2023");
    EXPECT_EQ(strlen(out), static_cast<size_t>(kLogTimestampChars));
}

TEST_F(ErrorLogTest, EntryBeforeAPathIsDroppedAndTheNextIsStillTheFirst)
{
    time_t start = time(nullptr);
    LogWarning("lost");
    EXPECT_FALSE(FileExists(file));
    LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    WriteBytes(file, "left over\r\n");  // appears after the fresh start
    LogWarning("first");  // the first entry starts the file from empty
    LogFatal("second");
    EXPECT_EQ(Entries(start), (std::vector<std::string>{"WARNING: first", "FATAL: second"}));
}

TEST_F(ErrorLogTest, EachProgramStartKeepsOnlyItsRunAndTheHookAppends)
{
    LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);  // the program, run 1
    LogWarning("run 1");
    LogResetState();  // the hook library in the desktop's process
    LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 0);
    LogWarning("hook 1");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"WARNING: run 1", "WARNING: hook 1"}));

    LogResetState();  // the program, run 2: the old log goes at once
    LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    EXPECT_FALSE(FileExists(file));
    LogWarning("run 2");
    LogResetState();
    LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 0);
    LogFatal("hook 2");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"WARNING: run 2", "FATAL: hook 2"}));
}

TEST_F(ErrorLogTest, TextsAreCutAfterTheir99thCharacter)
{
    LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    std::string text150;
    for (int i = 0; i < 150; i++)
        text150 += static_cast<char>('a' + i % 26);
    LogWarning(text150.c_str());
    LogFatal(text150.c_str());
    LogWarning(text150.substr(0, 99).c_str());
    LogWarningFormat("Invalid icon layout file: %s", text150.c_str());
    std::string cut = text150.substr(0, 99);
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{"WARNING: " + cut, "FATAL: " + cut, "WARNING: " + cut,
                                        ("WARNING: Invalid icon layout file: " + text150).substr(0, 9 + 99)}));
}

TEST_F(ErrorLogTest, WarningFormatTakesOnlyItsOneString)
{
    LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    LogWarningFormat("Cannot create icon positions file: %s", "Work.dvl");
    LogWarningFormat("%d %x %n %% %s%s %", "t");
    LogWarningFormat("no argument", nullptr);
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{"WARNING: Cannot create icon positions file: Work.dvl",
                                        "WARNING: %d %x %n % tt %", "WARNING: no argument"}));
}

TEST_F(ErrorLogTest, OnlyLevelsZeroAndOneWriteAndAFreedPathDropsEntries)
{
    LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    EXPECT_EQ(LogWrite(2), 0);
    EXPECT_EQ(LogWrite(-1), 0);
    EXPECT_FALSE(FileExists(file));
    LogWarning("kept");
    EXPECT_EQ(LogWrite(0), 0);  // the kept text once more
    std::string before = ReadBytes(file);
    EXPECT_EQ(LogWrite(2), 0);
    EXPECT_EQ(ReadBytes(file), before);
    LogFreePath();
    LogWarning("dropped");
    LogFatal("dropped");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"WARNING: kept", "WARNING: kept"}));
}

TEST_F(ErrorLogTest, AFolderThatDoesNotExistLosesTheEntryQuietly)
{
    LogSetPath(dir.File("missing").c_str(), "ErrorLog.txt", 1);
    LogWarning("nowhere");
    LogFatal("nowhere");
    EXPECT_FALSE(FileExists(dir.File("missing")));
    LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 0);
    LogWarning("here");
    EXPECT_EQ(Entries(), std::vector<std::string>{"WARNING: here"});
}

TEST(DebugLogTest, PathsWithAndWithoutFolderAndName)
{
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(CDebugLog("dir", "Debug.txt", 0).GetPath(), "dir" + sep + "Debug.txt");
    EXPECT_EQ(CDebugLog("dir", nullptr, 0).GetPath(), "dir" + sep + "DebugLog.txt");
    EXPECT_EQ(CDebugLog(nullptr, "Debug.txt", 0).GetPath(), "." + sep + "Debug.txt");
    EXPECT_EQ(CDebugLog(nullptr, nullptr, 0).GetPath(), "." + sep + "DebugLog.txt");
    EXPECT_EQ(CDebugLog("", "", 0).GetPath(), "." + sep + "DebugLog.txt");
    CDebugLog log("dir", "x", 0);
    ASSERT_NE(log.GetMessageBuffer(), nullptr);
    EXPECT_STREQ(log.GetMessageBuffer(), "");
    memset(log.GetMessageBuffer(), 'm', CDebugLog::kMessageSize);  // all 1024 bytes are its own
}

TEST(DebugLogTest, FreshDeletesTheLastRunsFileAndOnlyThen)
{
    TempDir dir;
    std::string file = dir.File("DebugLog.txt");
    WriteBytes(file, "old");
    {
        CDebugLog log(dir.Path().c_str(), "DebugLog.txt", 0);
    }
    EXPECT_TRUE(FileExists(file));
    {
        CDebugLog log(dir.Path().c_str(), nullptr, 1);
    }
    EXPECT_FALSE(FileExists(file));

    // Neither folder nor name: the current folder's file.
    std::filesystem::path was = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    WriteBytes(file, "old");
    {
        CDebugLog log(nullptr, nullptr, 1);
    }
    bool gone = !FileExists(file);
    std::filesystem::current_path(was);
    EXPECT_TRUE(gone);
}

}  // namespace
