#include "hook/LayoutRecord.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

ShortcutRecord EditorRecord()
{
    ShortcutRecord r = {};
    strcpy(r.label, "Editor");
    r.x = 18;
    r.y = -72;
    strcpy(r.itemPath, "C:\\Users\\me\\Desktop\\Editor.lnk");
    r.namePath = 0;
    strcpy(r.target, "C:\\WINDOWS\\NOTEPAD.EXE");
    strcpy(r.arguments, "/p todo.txt");
    strcpy(r.workingFolder, "C:\\WINDOWS");
    strcpy(r.description, "Plain text");
    strcpy(r.iconFile, "C:\\WINDOWS\\NOTEPAD.EXE");
    r.iconIndex = 2;
    r.showCommand = 3;
    r.hotKey = 0x0654;
    return r;
}

bool Parse(const std::string& value, ShortcutRecord* r, bool* isFile)
{
    return ParseIconRecord(value.c_str(), r, isFile);
}

}  // namespace

TEST(ParsePoint, ReadsTwoIntegersAroundAComma)
{
    int x = 7, y = 7;
    ASSERT_TRUE(ParsePoint("18,2", &x, &y));
    EXPECT_EQ(18, x);
    EXPECT_EQ(2, y);
    ASSERT_TRUE(ParsePoint("-200,-300", &x, &y));
    EXPECT_EQ(-200, x);
    EXPECT_EQ(-300, y);
    // As "%d,%d" reads: leading blanks before a number, anything after y.
    ASSERT_TRUE(ParsePoint(" 5, 6 px", &x, &y));
    EXPECT_EQ(5, x);
    EXPECT_EQ(6, y);
}

TEST(ParsePoint, RefusesWhatIsNoPosition)
{
    for (const char* text : {"abc", "", "10", "10,", ",5", "10;20", "x10,20", "10,abc", "1000001,0", "0,-1000001",
                             "99999999999999999999,1"}) {
        int x = 7, y = 8;
        EXPECT_FALSE(ParsePoint(text, &x, &y)) << text;
        EXPECT_EQ(7, x) << text;
        EXPECT_EQ(8, y) << text;
    }
    int x = 0, y = 0;
    EXPECT_FALSE(ParsePoint(nullptr, &x, &y));
    EXPECT_TRUE(ParsePoint("1000000,-1000000", &x, &y));
}

TEST(IconRecordFormat, ShortFormIsLabelTabPosition)
{
    char out[64];
    ASSERT_TRUE(FormatShortIconRecord("My Computer", 18, 2, out, sizeof out));
    EXPECT_STREQ("My Computer\t18,2", out);
    ASSERT_TRUE(FormatShortIconRecord("Recycle Bin", -4, 2000, out, sizeof out));
    EXPECT_STREQ("Recycle Bin\t-4,2000", out);
    EXPECT_FALSE(FormatShortIconRecord("Recycle Bin", 18, 72, out, 12)) << "does not fit the buffer";
}

TEST(IconRecordFormat, LongFormHasTheTwelveFieldsInOrder)
{
    char out[1100];
    ShortcutRecord r = EditorRecord();
    r.hotKey = 0x70654;  // only the low 16 bits are a hot key
    ASSERT_TRUE(FormatLongIconRecord(r, out, sizeof out));
    EXPECT_STREQ("Editor\t18,-72\tC:\\Users\\me\\Desktop\\Editor.lnk\t0\tC:\\WINDOWS\\NOTEPAD.EXE\t/p todo.txt\t"
                 "C:\\WINDOWS\tPlain text\tC:\\WINDOWS\\NOTEPAD.EXE\t2\t3\t1620",
                 out);
}

TEST(IconRecordFormat, LongFormThatWouldNotFitALineIsRefused)
{
    ShortcutRecord r = EditorRecord();
    memset(r.arguments, 'a', sizeof r.arguments - 1);
    memset(r.description, 'd', sizeof r.description - 1);
    memset(r.workingFolder, 'w', sizeof r.workingFolder - 1);
    memset(r.iconFile, 'i', sizeof r.iconFile - 1);
    char out[4096];
    EXPECT_FALSE(FormatLongIconRecord(r, out, sizeof out)) << "over the 1020 characters of a record value";
    r = EditorRecord();
    EXPECT_FALSE(FormatLongIconRecord(r, out, 40));
}

TEST(IconRecordParse, ShortRecordIsNoFileRecord)
{
    ShortcutRecord r;
    bool isFile = true;
    ASSERT_TRUE(Parse("Recycle Bin\t18,72", &r, &isFile));
    EXPECT_FALSE(isFile);
    EXPECT_STREQ("Recycle Bin", r.label);
    EXPECT_EQ(18, r.x);
    EXPECT_EQ(72, r.y);
    EXPECT_STREQ("", r.target);
}

TEST(IconRecordParse, LongRecordReadsBackWhatWasWritten)
{
    const ShortcutRecord written = EditorRecord();
    char value[1100];
    ASSERT_TRUE(FormatLongIconRecord(written, value, sizeof value));
    ShortcutRecord r;
    bool isFile = false;
    ASSERT_TRUE(ParseIconRecord(value, &r, &isFile));
    EXPECT_TRUE(isFile);
    EXPECT_STREQ(written.label, r.label);
    EXPECT_EQ(written.x, r.x);
    EXPECT_EQ(written.y, r.y);
    EXPECT_STREQ(written.itemPath, r.itemPath);
    EXPECT_EQ(written.namePath, r.namePath);
    EXPECT_STREQ(written.target, r.target);
    EXPECT_STREQ(written.arguments, r.arguments);
    EXPECT_STREQ(written.workingFolder, r.workingFolder);
    EXPECT_STREQ(written.description, r.description);
    EXPECT_STREQ(written.iconFile, r.iconFile);
    EXPECT_EQ(written.iconIndex, r.iconIndex);
    EXPECT_EQ(written.showCommand, r.showCommand);
    EXPECT_EQ(written.hotKey, r.hotKey);
}

TEST(IconRecordParse, PlainFileAndNamePathRecords)
{
    ShortcutRecord r;
    bool isFile = false;
    // A plain file on the desktop: fields 3 to 11 empty or 0.
    ASSERT_TRUE(Parse("Notes.txt\t21,154\tC:\\Desktop\\Notes.txt\t0\t\t\t\t\t\t0\t0\t0", &r, &isFile));
    EXPECT_TRUE(isFile);
    EXPECT_STREQ("C:\\Desktop\\Notes.txt", r.itemPath);
    EXPECT_STREQ("", r.target);
    EXPECT_EQ(0, r.iconIndex);
    // A link to a printer: display names joined by backslashes.
    ASSERT_TRUE(Parse("Printer\t1,2\tC:\\Desktop\\Printer.lnk\t1\tMy Computer\\Printers\\Laser", &r, &isFile));
    EXPECT_EQ(1, r.namePath);
    EXPECT_STREQ("My Computer\\Printers\\Laser", r.target);
    EXPECT_STREQ("", r.arguments) << "missing trailing fields are empty";
    EXPECT_EQ(0, r.showCommand);
}

TEST(IconRecordParse, RefusesRecordsWithoutLabelOrPosition)
{
    ShortcutRecord r;
    bool isFile = false;
    for (const char* value :
         {"", "Notes.txt", "Notes.txt 10,10", "Notes.txt\tabc", "Notes.txt\t\t10,10", "Notes.txt\t10", "\t"}) {
        EXPECT_FALSE(ParseIconRecord(value, &r, &isFile)) << value;
    }
    EXPECT_FALSE(ParseIconRecord(nullptr, &r, &isFile));
}

TEST(IconRecordParse, RefusesTextThatDoesNotFitItsField)
{
    ShortcutRecord r;
    bool isFile = false;
    // A label of 261 CJK characters (783 bytes of UTF-8) fills the field.
    std::string cjk;
    for (int i = 0; i < 261; ++i)
        cjk += "\xE6\x97\xA5";  // U+65E5
    EXPECT_TRUE(Parse(cjk + "\t1,2", &r, &isFile));
    EXPECT_EQ(cjk, r.label);
    EXPECT_FALSE(Parse(cjk + "L\t1,2", &r, &isFile));
    EXPECT_FALSE(Parse(std::string(900, 'L') + "\t1,2", &r, &isFile));
    // A cut item path would name another file.
    const std::string longPath = "C:\\Desktop\\" + std::string(780, 'p') + ".lnk";
    EXPECT_FALSE(Parse("Link\t1,2\t" + longPath + "\t0\tC:\\x.exe", &r, &isFile));
    EXPECT_FALSE(Parse("Link\t1,2\tC:\\Desktop\\Link.lnk\t0\t" + longPath, &r, &isFile));
    EXPECT_TRUE(Parse("Link\t1,2\tC:\\Desktop\\Link.lnk\t0\t" + std::string(783, 't'), &r, &isFile));
    EXPECT_EQ(783u, strlen(r.target));
}
