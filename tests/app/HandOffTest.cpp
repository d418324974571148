#include "app/HandOff.h"
#include "common/LayoutFormat.h"
#include "common/Utf8.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A file in the working folder named after the running test, since ctest
// runs the cases of this file in parallel processes.
std::string TempPath(const char* name)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name() + "." + name;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

}  // namespace

TEST(CommandLine, QuotedPathWithSpaces)
{
    EXPECT_EQ("C:\\Some Folder\\Work.dvl", LayoutPathFromCommandLine("\"C:\\Some Folder\\Work.dvl\""));
    EXPECT_EQ("C:\\Some Folder\\Work.dvl", LayoutPathFromCommandLine("\"C:\\Some Folder\\Work.dvl\" "));
    EXPECT_EQ("C:\\plain.dvl", LayoutPathFromCommandLine("C:\\plain.dvl"));
    EXPECT_EQ("", LayoutPathFromCommandLine(""));
    EXPECT_EQ("", LayoutPathFromCommandLine(nullptr));
}

TEST(CommandLine, QuoteWithoutClosingQuoteKeepsTheRest)
{
    EXPECT_EQ("C:\\open ended.dvl", LayoutPathFromCommandLine("\"C:\\open ended.dvl"));
    const std::string huge(5000, 'x');
    EXPECT_EQ(huge, LayoutPathFromCommandLine(("\"" + huge + "\"").c_str()));
}

TEST(CommandLine, FileNameOfPath)
{
    EXPECT_EQ("Work.dvl", FileNameOfPath("C:\\Some Folder\\Work.dvl"));
    EXPECT_EQ("Work.dvl", FileNameOfPath("Work.dvl"));
    EXPECT_EQ("", FileNameOfPath("C:\\dir\\"));
}

TEST(CommandLine, LayoutTitleOnTheFirstLine)
{
    EXPECT_EQ(HOOKMSG_LOAD_POSITIONS, LayoutCodeFromFirstLine("KTX_FILE\tDERVANE ICON POSITIONS\r\n"));
    EXPECT_EQ(HOOKMSG_LOAD_SHORTCUTS, LayoutCodeFromFirstLine("KTX_FILE\tDERVANE ICON SHORTCUTS\n"));
    EXPECT_EQ(0, LayoutCodeFromFirstLine("KTX_FILE\tDERVANE ICON HIDE\n"));

    const std::string path = TempPath("layout");
    WriteBytes(path, "just some text\nKTX_FILE\tDERVANE ICON POSITIONS\n");
    EXPECT_EQ(0, LayoutCodeOfFile(path)) << "only the first line counts";
    WriteBytes(path, "KTX_FILE\tDERVANE ICON SHORTCUTS\r\nVERSION\t1.0\r\n");
    EXPECT_EQ(HOOKMSG_LOAD_SHORTCUTS, LayoutCodeOfFile(path));
    remove(path.c_str());
    EXPECT_EQ(0, LayoutCodeOfFile(path));
}

TEST(HandOffFile, RoundTrip)
{
    const std::string path = TempPath("msg.dat");
    for (int code : {HOOKMSG_LOAD_POSITIONS, HOOKMSG_LOAD_SHORTCUTS, HOOKMSG_SAVE_POSITIONS}) {
        ASSERT_TRUE(WriteHandOffFile(path, code, 1, "Work.dvl"));
        dervaneMsg_t msg;
        std::string error;
        ASSERT_TRUE(ReadHandOffFile(path, &msg, &error)) << error;
        EXPECT_EQ(code, msg.code);
        EXPECT_EQ(1, msg.route);
        EXPECT_STREQ("Work.dvl", msg.payload.text);
    }
    remove(path.c_str());
}

TEST(HandOffFile, GarbageIsRefused)
{
    const std::string path = TempPath("msg.dat");
    const char* bad[] = {
        "",  // empty
        "abc\n1\nWork.dvl",  // code not a number
        "0\n1\nWork.dvl",  // code out of range
        "13\n1\nWork.dvl", "-5\n1\nWork.dvl", "99999999999999999999\n1\nWork.dvl",
        "3\nx\nWork.dvl",  // route not a number
        // only a layout to load or save, for the hook library
        "1\n1\nWork.dvl", "5\n1\nWork.dvl", "8\n1\nWork.dvl", "10\n0\nWork.dvl", "3\n0\nWork.dvl",
        "3\n1",  // no third line
        "3\n1\n",  // empty name
    };
    for (const char* text : bad) {
        WriteBytes(path, text);
        dervaneMsg_t msg;
        std::string error;
        EXPECT_FALSE(ReadHandOffFile(path, &msg, &error)) << "accepted: " << text;
        EXPECT_FALSE(error.empty());
    }
    remove(path.c_str());
    dervaneMsg_t msg;
    std::string error;
    EXPECT_FALSE(ReadHandOffFile(path, &msg, &error));
}

TEST(HandOffFile, NameLengthLimits)
{
    const std::string path = TempPath("msg.dat");
    dervaneMsg_t msg;
    std::string error;
    const std::string longest(258, 'n');
    WriteBytes(path, "2\n1\n" + longest);
    ASSERT_TRUE(ReadHandOffFile(path, &msg, &error)) << error;
    EXPECT_EQ(longest, msg.payload.text);

    WriteBytes(path, "2\n1\n" + std::string(259, 'n'));
    EXPECT_FALSE(ReadHandOffFile(path, &msg, &error));
    WriteBytes(path, "2\n1\n" + std::string(5000, 'n'));
    EXPECT_FALSE(ReadHandOffFile(path, &msg, &error));

    // The limit is in characters: 258 Cyrillic letters (516 bytes) pass whole.
    std::string cyrillic;
    for (int i = 0; i < 258; ++i)
        cyrillic += "\xD0\x96";
    WriteBytes(path, "2\n1\n" + cyrillic);
    ASSERT_TRUE(ReadHandOffFile(path, &msg, &error)) << error;
    EXPECT_EQ(cyrillic, msg.payload.text);
    WriteBytes(path, "2\n1\n" + cyrillic + "\xD0\x96");
    EXPECT_FALSE(ReadHandOffFile(path, &msg, &error));
    remove(path.c_str());
}

TEST(HandOffFile, AMarkOrTheOlderEncodingIsRead)
{
    const std::string path = TempPath("msg.dat");
    dervaneMsg_t msg = {};
    std::string error;
    WriteBytes(path, std::string(kUtf8Bom) + "3\n1\nCaf\xC3\xA9.dvl");
    ASSERT_TRUE(ReadHandOffFile(path, &msg, &error)) << error;
    EXPECT_EQ(HOOKMSG_LOAD_SHORTCUTS, msg.code);
    EXPECT_STREQ("Caf\xC3\xA9.dvl", msg.payload.text);
    // Written by an earlier version in code page 1252.
    WriteBytes(path, "3\n1\nCaf\xE9.dvl");
    ASSERT_TRUE(ReadHandOffFile(path, &msg, &error)) << error;
    EXPECT_STREQ("Caf\xC3\xA9.dvl", msg.payload.text);
    // A layout with a mark is still known by its first line.
    WriteBytes(path, std::string("\xEF\xBB\xBFKTX_FILE\t") + kShortcutsLayoutTitle + "\r\n");
    EXPECT_EQ(HOOKMSG_LOAD_SHORTCUTS, LayoutCodeOfFile(path));
    remove(path.c_str());
}

TEST(LayoutCommand, SwitchesAndNames)
{
    const auto parsed = [](const char* line) {
        const LayoutCommand command = ParseLayoutCommand(line);
        return std::to_string(static_cast<int>(command.kind)) + "|" + command.name;
    };
    const std::string save = std::to_string(static_cast<int>(CommandKind::kSaveLayout)) + "|";
    const std::string load = std::to_string(static_cast<int>(CommandKind::kLoadLayout)) + "|";
    EXPECT_EQ(save + "Home", parsed("/save Home"));
    EXPECT_EQ(load + "At the office", parsed("  /LOAD \"At the office\"  "));
    EXPECT_EQ(load + "At the office", parsed("/Load\tAt the office"));
    EXPECT_EQ(save, parsed("/save"));
    EXPECT_EQ(save + "..\\x", parsed("/save ..\\x"));
    EXPECT_EQ(std::to_string(static_cast<int>(CommandKind::kHelp)) + "|", parsed(" /? "));
    // Anything else is a layout file's path, as it always was.
    for (const char* other : {"", "/saved Home", "/? more", "C:\\Layouts\\Home.dvl", "\"/save Home\"", "/exit"})
        EXPECT_EQ("0|", parsed(other)) << other;
}

TEST(LayoutCommand, OnlyANameInsideThePositionsFolderIsTaken)
{
    EXPECT_EQ("Home.dvl", CommandLayoutFileName("Home", 20));
    EXPECT_EQ("Home.dvl", CommandLayoutFileName("Home.dvl", 20));
    const std::string cyrillic = "\xD0\x94\xD0\xBE\xD0\xBC \xF0\x9F\x8F\xA0";  // "Дом 🏠"
    EXPECT_EQ(cyrillic + ".dvl", CommandLayoutFileName(cyrillic, 20));
    for (const std::string& refused :
         {std::string(), std::string("..\\x"), std::string("../x"), std::string("C:\\x"), std::string("C:x"),
          std::string("CON"), std::string("nul.dvl"), std::string("COM1"), std::string("a|b"), std::string(1000, 'x'),
          std::string("\xD0\x94\xFF")})
        EXPECT_EQ("", CommandLayoutFileName(refused, 20)) << refused;
    // The whole path counts: a name that fits a short folder may not fit a long one.
    const std::string name(200, 'n');
    EXPECT_EQ(name + ".dvl", CommandLayoutFileName(name, 20));
    EXPECT_EQ("", CommandLayoutFileName(name, 60));
}
