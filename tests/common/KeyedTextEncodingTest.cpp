// Which encoding a list or layout file is read in: UTF-8 (with or without a
// byte-order mark), or, for a file that is not UTF-8 as a whole, the system's
// code page of earlier versions (1252 in the tests).
#include "common/HideRuleFile.h"
#include "common/KeyedTextFile.h"
#include "common/LayoutFormat.h"
#include "common/Log.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

class KeyedTextEncodingTest : public testing::Test {
protected:
    TempDir dir;
    std::string file = dir.File("List.txt");

    void SetUp() override
    {
        LogResetState();
        LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    }
    void TearDown() override { LogResetState(); }

    // The title, then the value of every ENTRY_<n> in order, as a reader
    // takes them.
    std::vector<std::string> Read(bool* legacy = nullptr)
    {
        CKeyedTextFile f(file.c_str());
        char value[CKeyedTextFile::kLineSize];
        std::vector<std::string> values;
        if (!f.HasTitle("DERVANE TEST"))
            return values;
        values.push_back("DERVANE TEST");
        for (int n = 0;; n++) {
            char key[CKeyedTextFile::kKeySize];
            CKeyedTextFile::EntryKey(n, key);
            if (!f.Find(key, value, 0))
                break;
            values.push_back(value);
        }
        if (legacy)
            *legacy = f.IsLegacy();
        return values;
    }

    std::string Log() const { return FileExists(dir.File("ErrorLog.txt")) ? ReadBytes(dir.File("ErrorLog.txt")) : ""; }
};

const char kHeader[] = "KTX_FILE\tDERVANE TEST\r\nVERSION\t1.0\r\n";

TEST_F(KeyedTextEncodingTest, AFileOfAnEarlierVersionIsReadInItsCodePageAndLeftAsItWas)
{
    const std::string bytes = std::string(kHeader) + "ENTRY_0\tC:\\Caf\xE9\t*.tmp\r\nENTRY_1\tStra\337e \x80\r\n";
    WriteBytes(file, bytes);
    bool legacy = false;
    EXPECT_EQ(Read(&legacy),
              (std::vector<std::string>{"DERVANE TEST", "C:\\Caf\xC3\xA9\t*.tmp", "Stra\xC3\237e \xE2\x82\xAC"}));
    EXPECT_TRUE(legacy);
    EXPECT_EQ(ReadBytes(file), bytes);
    EXPECT_NE(Log().find("WARNING: Read List.txt in the older encoding"), std::string::npos) << Log();
}

TEST_F(KeyedTextEncodingTest, TheEncodingIsDecidedForTheWholeFile)
{
    // ENTRY_0 is valid UTF-8 on its own, but a byte far beyond the first
    // read-ahead makes the file one of an earlier version: "Ã©" in 1252.
    std::string bytes = std::string(kHeader) + "ENTRY_0\t\xC3\xA9\r\n";
    for (int n = 1; n < 2000; n++)
        bytes += "ENTRY_" + std::to_string(n) + "\tplain text of one entry\r\n";
    bytes += "ENTRY_2000\t\xE9\r\n";
    WriteBytes(file, bytes);
    const std::vector<std::string> values = Read();
    ASSERT_EQ(values.size(), 2002u);
    EXPECT_EQ(values[1], "\xC3\x83\xC2\xA9");
    EXPECT_EQ(values[2001], "\xC3\xA9");
    // Without that byte the same entry is UTF-8, and no line is logged.
    bytes.resize(bytes.size() - 3);
    bytes += "\r\n";
    WriteBytes(file, bytes);
    const std::string log = Log();
    bool legacy = true;
    EXPECT_EQ(Read(&legacy)[1], "\xC3\xA9");
    EXPECT_FALSE(legacy);
    EXPECT_EQ(Log(), log);
}

TEST_F(KeyedTextEncodingTest, ACharacterAcrossTheCheckedChunksEndsIsStillUtf8)
{
    // "€" starts one byte before 16 KiB, where the whole-file check reads its
    // second chunk.
    std::string bytes = std::string(kHeader) + "ENTRY_0\t\xC3\xA9\r\n";
    const size_t entry = 16383 - strlen("ENTRY_1\t");
    while (bytes.size() < entry)
        bytes += "#" + std::string(std::min<size_t>(500, entry - bytes.size()) - 1, 'x') + "\r\n";
    bytes.resize(entry - 2);  // the last comment line ends right before the entry
    bytes += "\r\nENTRY_1\t\xE2\x82\xAC\r\n";
    ASSERT_EQ(bytes.find("\xE2\x82\xAC"), 16383u);
    WriteBytes(file, bytes);
    bool legacy = true;
    const std::vector<std::string> values = Read(&legacy);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_FALSE(legacy);
    EXPECT_EQ(values[1], "\xC3\xA9");
    EXPECT_EQ(values[2], "\xE2\x82\xAC");
}

TEST_F(KeyedTextEncodingTest, AByteOrderMarkIsPassedOver)
{
    WriteBytes(file, std::string("\xEF\xBB\xBF") + kHeader + "ENTRY_0\t\xC3\xA9t\xC3\xA9\r\n");
    bool legacy = true;
    EXPECT_EQ(Read(&legacy), (std::vector<std::string>{"DERVANE TEST", "\xC3\xA9t\xC3\xA9"}));
    EXPECT_FALSE(legacy);
    // Replace finds its record past the mark and keeps the mark.
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(f.Replace("VERSION", "2.0"), 1);
    EXPECT_EQ(ReadBytes(file).substr(0, 3), "\xEF\xBB\xBF");
    // A file of the mark alone has no records, and nothing fails.
    WriteBytes(file, "\xEF\xBB\xBF");
    CKeyedTextFile empty(file.c_str());
    char value[CKeyedTextFile::kLineSize];
    EXPECT_EQ(empty.Exists(), 1);
    EXPECT_EQ(empty.Find("KTX_FILE", value, 1), 0);
    EXPECT_EQ(Read(), std::vector<std::string>());
}

TEST_F(KeyedTextEncodingTest, ALegacyValueThatGrowsIsCutOnACharacterBoundary)
{
    // 1,000 "é" of one byte each become 2,000 bytes: the value is cut at the
    // line buffer, between two characters.
    WriteBytes(file, std::string(kHeader) + "ENTRY_0\t" + std::string(1000, '\xE9') + "\r\n");
    const std::vector<std::string> values = Read();
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[1].size(), 1022u);
    EXPECT_EQ(values[1].substr(1020), "\xC3\xA9");
}

TEST_F(KeyedTextEncodingTest, LayoutsOfAnEarlierVersionGiveTheirLabelsAndRecordsAsUtf8)
{
    // A shortcuts layout saved in 1252, read the way the hook library reads one.
    const std::string layout = dir.File("Caf\xC3\xA9.dvl");
    const std::string bytes = std::string("KTX_FILE\t") + kShortcutsLayoutTitle +
        "\r\nVERSION\t1.0\r\nLOADED\t1\r\nENTRY_0\tR\xE9sum\xE9.lnk\t100,200\r\n";
    WriteBytes(layout, bytes);
    CKeyedTextFile f(layout.c_str());
    int loaded = 0;
    ASSERT_TRUE(ReadLoadedRecord(f, &loaded));
    EXPECT_EQ(loaded, 1);
    char value[CKeyedTextFile::kLineSize];
    char label[CKeyedTextFile::kLineSize];
    ASSERT_EQ(f.Find("ENTRY_0", value, 1), 1);
    ASSERT_EQ(CKeyedTextFile::GetField(value, 0, label), 1);
    EXPECT_STREQ(label, "R\xC3\xA9sum\xC3\xA9.lnk");
    EXPECT_EQ(ReadBytes(layout), bytes);
}

TEST_F(KeyedTextEncodingTest, HideRulesOfAnEarlierVersionAreReadAsTheirLetters)
{
    const std::string rules = HideRuleFilePath(dir.Path());
    WriteBytes(rules, "KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\nENTRY_0\tR\xE9sum\xE9*\t1\r\n");
    std::vector<HideRule> read;
    ASSERT_TRUE(ReadHideRuleFile(rules, &read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].pattern, "R\xC3\xA9sum\xC3\xA9*");
    EXPECT_EQ(read[0].kind, 1);
}

}  // namespace
