// The tray icon list and its file, read and written as bytes.
#include "tray/TrayIconList.h"

#include "common/Log.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kHeader[] = "KTX_FILE\tDERVANE TRAY ICONS\r\nVERSION\t1.0\r\n";
// One entry with a default program item, a separator and a system command.
const char kExample[] = "ENTRY_0\tTools\tC:\\Tools\\tools.dll\t3\r\n"
                        "ENTRY_0_ITEM_0\t0\t1\tEditor\tC:\\Tools\\edit.exe\r\n"
                        "ENTRY_0_ITEM_1\t3\r\n"
                        "ENTRY_0_ITEM_2\t2\t0\tShut Down\t1\r\n"
                        "ENTRY_0_ITEM_3\t#%#\r\n";

class TrayIconListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LogResetState();
        LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    }
    void TearDown() override { LogFreePath(); }

    // The list read from a file of these bytes.
    CTrayIconList Read(const std::string& bytes)
    {
        WriteBytes(file, bytes);
        CTrayIconList list;
        list.Load(file);
        return list;
    }
    std::string Written(CTrayIconList& list)
    {
        list.SetModified(true);
        EXPECT_EQ(ListSaveResult::kWritten, list.Save(file));
        return ReadBytes(file);
    }
    std::string ErrorLog() { return FileExists(dir.File("ErrorLog.txt")) ? ReadBytes(dir.File("ErrorLog.txt")) : ""; }

    TempDir dir;
    std::string file = dir.File("TrayIcons.txt");
};

TEST_F(TrayIconListTest, TheExampleEntryIsReadAndWrittenBackByteForByte)
{
    CTrayIconList list = Read(std::string(kHeader) + kExample);
    ASSERT_EQ(1, list.Count());
    const TrayIconEntry& e = list.Entry(0);
    EXPECT_EQ("Tools", e.tipText);
    EXPECT_EQ("C:\\Tools\\tools.dll", e.iconFile);
    EXPECT_EQ(3, e.iconIndex);
    ASSERT_EQ(3u, e.items.size());
    EXPECT_EQ(kTrayItemProgram, e.items[0].kind);
    EXPECT_TRUE(e.items[0].isDefault);
    EXPECT_EQ("Editor", e.items[0].label);
    EXPECT_EQ("C:\\Tools\\edit.exe", e.items[0].path);
    EXPECT_EQ(kTrayItemSeparator, e.items[1].kind);
    EXPECT_TRUE(e.items[1].label.empty());
    EXPECT_FALSE(e.items[1].isDefault);
    EXPECT_EQ(kTrayItemSystemCommand, e.items[2].kind);
    EXPECT_EQ(kTrayShutDown, e.items[2].command);
    EXPECT_FALSE(list.IsModified());
    EXPECT_EQ(std::string(kHeader) + kExample, Written(list));
    EXPECT_FALSE(list.IsModified());
}

TEST_F(TrayIconListTest, EntriesGoOnPastAGapAndItemsEndAtTheEndMarkOrAMissingRecord)
{
    // An entry without items has only its end record; "#%#" ends the items
    // though more follow; ENTRY_2 after a missing ENTRY_1 is read, and
    // written as ENTRY_1.
    CTrayIconList list = Read(std::string(kHeader) +
                              "ENTRY_0\tEmpty\t\t-1\r\nENTRY_0_ITEM_0\t#%#\r\n"
                              "ENTRY_2\tLost\t\t0\r\nENTRY_2_ITEM_0\t#%#\r\n");
    ASSERT_EQ(2, list.Count());
    EXPECT_TRUE(list.Entry(0).items.empty());
    EXPECT_EQ(-1, list.Entry(0).iconIndex);
    EXPECT_EQ(std::string(kHeader) + "ENTRY_0\tEmpty\t\t-1\r\nENTRY_0_ITEM_0\t#%#\r\n" +
                  "ENTRY_1\tLost\t\t0\r\nENTRY_1_ITEM_0\t#%#\r\n",
              Written(list));

    list = Read(std::string(kHeader) +
                "ENTRY_0\tA\tx.ico\t0\r\nENTRY_0_ITEM_0\t1\t0\tDocs\tC:\\Docs\r\nENTRY_0_ITEM_1\t#%#\r\n"
                "ENTRY_0_ITEM_2\t1\t0\tAfter the end\tC:\\X\r\n");
    ASSERT_EQ(1, list.Count());
    ASSERT_EQ(1u, list.Entry(0).items.size());
    EXPECT_EQ(kTrayItemFolder, list.Entry(0).items[0].kind);

    // An entry whose end record is missing still lets the next one be read;
    // missing fields give empty texts and index 0.
    list = Read(std::string(kHeader) +
                "ENTRY_0\tNo end\r\nENTRY_0_ITEM_0\t0\t0\tRun\r\n"
                "ENTRY_1\tSecond\tb.ico\t2\r\nENTRY_1_ITEM_0\t#%#\r\n");
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ("", list.Entry(0).iconFile);
    EXPECT_EQ(0, list.Entry(0).iconIndex);
    ASSERT_EQ(1u, list.Entry(0).items.size());
    EXPECT_EQ("Run", list.Entry(0).items[0].label);
    EXPECT_EQ("", list.Entry(0).items[0].path);
    EXPECT_EQ("Second", list.Entry(1).tipText);
}

TEST_F(TrayIconListTest, AnotherTitleOrNoFileGivesAnEmptyListAndOnlyTheTitleALogLine)
{
    CTrayIconList list;
    EXPECT_EQ(0, list.Load(dir.File("missing.txt")));
    EXPECT_EQ("", ErrorLog());
    EXPECT_EQ(0, Read(std::string("KTX_FILE\tDERVANE TRAY ICON\r\nVERSION\t1.0\r\n") + kExample).Count());
    EXPECT_NE(std::string::npos, ErrorLog().find("TrayIcons.txt not read: it is no DERVANE TRAY ICONS file"));
}

TEST_F(TrayIconListTest, BadRecordsAreSkippedWithALogLineAndNumbersAreBounded)
{
    std::string bytes = std::string(kHeader) + "ENTRY_0\tBad\tx.ico\t99999999999\r\n" +
        "ENTRY_0_ITEM_0\t7\t0\tUnknown kind\tC:\\x\r\n" + "ENTRY_0_ITEM_1\t2\t1\tUnknown command\t12\r\n" +
        "ENTRY_0_ITEM_2\t2\t256\tLow byte clear\t5\r\n" + "ENTRY_0_ITEM_3\t" + std::string(5000, 'x') + "\r\n" +
        "ENTRY_0_ITEM_4\t#%#\r\n" + "NOTE\tNul-here\r\n" + "ENTRY_1\tNegative\tx.ico\t-5\r\nENTRY_1_ITEM_0\t#%#\r\n";
    bytes[bytes.find("Nul-") + 3] = '\0';
    CTrayIconList list = Read(bytes);
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ(INT32_MAX, list.Entry(0).iconIndex);
    ASSERT_EQ(1u, list.Entry(0).items.size());
    EXPECT_EQ(kTrayScreenSaver, list.Entry(0).items[0].command);
    EXPECT_FALSE(list.Entry(0).items[0].isDefault);
    EXPECT_EQ(-5, list.Entry(1).iconIndex);
    EXPECT_NE(std::string::npos, ErrorLog().find("entry 0 lost a menu item of unknown kind or command"));
}

TEST_F(TrayIconListTest, AFieldThatCannotBeKeptFailsTheWriteAndKeepsTheOldFile)
{
    CTrayIconList list = Read(std::string(kHeader) + kExample);
    EXPECT_EQ(ListSaveResult::kNotChanged, list.Save(file));
    EXPECT_NE(nullptr, CTrayIconList::FieldProblem("two\tfields"));
    EXPECT_NE(nullptr, CTrayIconList::FieldProblem(std::string(261, 'a')));
    EXPECT_EQ(nullptr, CTrayIconList::FieldProblem(std::string(260, 'a')));

    list.Entry(0).items[0].label = "line\r\nbreak";
    list.SetModified(true);
    EXPECT_EQ(ListSaveResult::kFailed, list.Save(file));
    EXPECT_TRUE(list.IsModified());
    EXPECT_EQ(std::string(kHeader) + kExample, ReadBytes(file));
    EXPECT_NE(std::string::npos, ErrorLog().find("Cannot create TrayIcons.txt file"));
}

TEST_F(TrayIconListTest, ListOperationsMarkTheListChanged)
{
    CTrayIconList list;
    for (const char* tip : {"a", "b", "c"}) {
        TrayIconEntry e;
        e.tipText = tip;
        list.Add(std::move(e));
    }
    list.SetModified(false);
    list.SwapWithNext(0);
    EXPECT_TRUE(list.IsModified());
    list.Remove(2);
    list.SwapWithNext(1);  // no neighbour: nothing moves
    ASSERT_EQ(2, list.Count());
    EXPECT_EQ("b", list.Entry(0).tipText);
    EXPECT_EQ("a", list.Entry(1).tipText);
}

TEST(TrayTexts, SystemCommandsAndShellExecuteErrorsHaveTheirTexts)
{
    EXPECT_STREQ("Remove From Tray", SystemCommandListText(kTrayRemoveFromTray));
    EXPECT_STREQ("Remove from tray", SystemCommandLabel(kTrayRemoveFromTray));
    EXPECT_STREQ("Toggle \"Hide Icons\"", SystemCommandLabel(kTrayToggleHideIcons));
    EXPECT_EQ(nullptr, SystemCommandListText(7));
    EXPECT_EQ(nullptr, SystemCommandLabel(-1));
    EXPECT_STREQ("File not found", ShellExecuteErrorText(2));
    EXPECT_STREQ("Unknown error", ShellExecuteErrorText(33));
    EXPECT_EQ(std::string(63, 't'), CutText(std::string(70, 't'), kTrayTipChars));
}

// A cut text is counted as the shell counts it (UTF-16 units) and never ends
// inside a character: Cyrillic (2 bytes), CJK (3), an emoji (4 bytes, 2 units).
TEST(TrayTexts, CutTextCountsCharactersAndCutsBetweenThem)
{
    std::string cyrillic;
    for (int i = 0; i < 70; ++i)
        cyrillic += "\xD0\xAF";  // Я
    EXPECT_EQ(cyrillic.substr(0, 63 * 2), CutText(cyrillic, kTrayTipChars));
    std::string cjk;
    for (int i = 0; i < 70; ++i)
        cjk += "\xE5\x90\x8D";  // 名
    EXPECT_EQ(cjk.substr(0, 63 * 3), CutText(cjk, kTrayTipChars));
    const std::string emoji = "\xF0\x9F\x98\x80";  // U+1F600
    const std::string mixed = std::string(62, 'a') + emoji + "b";
    EXPECT_EQ(std::string(62, 'a'), CutText(mixed, kTrayTipChars)) << "a pair that would not fit whole goes";
    EXPECT_EQ(std::string(61, 'a') + emoji, CutText(mixed.substr(1), kTrayTipChars));
}

}  // namespace
