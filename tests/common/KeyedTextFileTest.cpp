#include "common/KeyedTextFile.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kLineEnds[][3] = {"\n", "\r\n"};

class KeyedTextFileTest : public testing::Test {
protected:
    TempDir dir;
    std::string file = dir.File("List.txt");

    // Find into an exact 1024-byte heap buffer, so an overrun shows under ASan.
    // Answers the value, or "<none>" when Find fails.
    static std::string FindValue(CKeyedTextFile& f, const char* key, int fromStart)
    {
        std::vector<char> out(CKeyedTextFile::kLineSize, 'z');
        if (!f.Find(key, out.data(), fromStart))
            return "<none>";
        EXPECT_NE(memchr(out.data(), '\0', out.size()), nullptr);
        return out.data();
    }

    // A reader's sequence: the header, then ENTRY_0, ENTRY_1, ... forward.
    std::vector<std::string> ReadEntries()
    {
        CKeyedTextFile f(file.c_str());
        std::vector<std::string> values;
        if (FindValue(f, "KTX_FILE", 1) != "DERVANE TEST")
            return values;
        for (;;) {
            std::string v = FindValue(f, ("ENTRY_" + std::to_string(values.size())).c_str(), 0);
            if (v == "<none>")
                return values;
            values.push_back(v);
        }
    }
};

TEST_F(KeyedTextFileTest, WriterProducesExactCrLfBytesOnDiskAtOnce)
{
    CKeyedTextFile f(file.c_str());
    ASSERT_EQ(f.Create(), 1);
    ASSERT_EQ(f.Write("KTX_FILE", "DERVANE TEST"), 1);
    EXPECT_EQ(ReadBytes(file), "KTX_FILE\tDERVANE TEST\r\n");  // flushed before Write returns
    EXPECT_EQ(f.Write("VERSION", "1.0"), 1);
    EXPECT_EQ(f.Write("ENTRY_0", "a\tb"), 1);
    EXPECT_EQ(f.WriteInt("ENTRY_1", -5), 1);
    EXPECT_EQ(f.WriteLong("ENTRY_2", -2147483647L - 1), 1);
    EXPECT_EQ(f.Write("\xe9t\xe9", ""), 1);
    EXPECT_EQ(f.GetMode(), CKeyedTextFile::MODE_WRITE);
    EXPECT_EQ(ReadBytes(file),
              "KTX_FILE\tDERVANE TEST\r\nVERSION\t1.0\r\nENTRY_0\ta\tb\r\n"
              "ENTRY_1\t-5\r\nENTRY_2\t-2147483648\r\n\xe9t\xe9\t\r\n");
    EXPECT_EQ(ReadEntries(), (std::vector<std::string>{"a\tb", "-5", "-2147483648"}));
}

TEST_F(KeyedTextFileTest, CreateEmptiesAFileAndExistsOnlyReads)
{
    WriteBytes(file, "KTX_FILE\tX\r\n");
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(f.Exists(), 1);
    EXPECT_EQ(ReadBytes(file), "KTX_FILE\tX\r\n");
    EXPECT_EQ(f.Create(), 1);
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(ReadBytes(file), "");
    EXPECT_EQ(f.GetMode(), CKeyedTextFile::MODE_CLOSED);

    CKeyedTextFile missing(dir.File("NoFolder/List.txt").c_str());
    EXPECT_EQ(missing.Exists(), 0);
    EXPECT_EQ(missing.Create(), 0);
    EXPECT_EQ(missing.Write("K", "v"), 0);
    EXPECT_EQ(FindValue(missing, "K", 1), "<none>");
    EXPECT_EQ(missing.Replace("K", "v"), 0);
}

TEST_F(KeyedTextFileTest, WriteAfterFindStartsTheFileAgain)
{
    WriteBytes(file, "A\t1\r\nB\t2\r\n");
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(FindValue(f, "B", 1), "2");
    EXPECT_EQ(f.Write("C", "3"), 1);
    EXPECT_EQ(ReadBytes(file), "C\t3\r\n");
    EXPECT_EQ(FindValue(f, "C", 1), "3");  // and reading again after writing
}

TEST_F(KeyedTextFileTest, WriteRefusesRecordsThatWouldNotReadBackAndTouchesNothing)
{
    WriteBytes(file, "OLD\tline\r\n");
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(f.Write(std::string(200, 'k').c_str(), "v"), 0);
    EXPECT_EQ(f.Write(std::string(50, 'k').c_str(), "v"), 0);
    EXPECT_EQ(f.Write("A\tB", "v"), 0);
    EXPECT_EQ(f.Write("K", "two\r\nlines"), 0);
    EXPECT_EQ(f.Write("K", "lf\nonly"), 0);
    EXPECT_EQ(f.Write("K", std::string(1020, 'v').c_str()), 0);  // 1022 characters
    EXPECT_EQ(f.Write("K", nullptr), 0);
    EXPECT_EQ(ReadBytes(file), "OLD\tline\r\n");

    std::string key(49, 'k'), longest(1021 - 50, 'v');
    EXPECT_EQ(f.Write(key.c_str(), longest.c_str()), 1);
    EXPECT_EQ(FindValue(f, key.c_str(), 1), longest);
}

TEST_F(KeyedTextFileTest, CommentBlankAndTablessLinesAreNotRecords)
{
    WriteBytes(file, "# ENTRY_0\tx\r\n\r\n\n ENTRY_0\tspace\nENTRY_0\r\nENTRY_0 no tab\n");
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(FindValue(f, "ENTRY_0", 1), "<none>");
    EXPECT_EQ(FindValue(f, "", 1), "<none>");
    EXPECT_EQ(FindValue(f, " ENTRY_0", 1), "<none>");
    EXPECT_EQ(FindValue(f, "# ENTRY_0", 1), "<none>");

    WriteBytes(file, "\tempty key\r\nKEY\ta\tb\t\r\nk\tlower\r\nTAIL\tno line end");
    CKeyedTextFile g(file.c_str());
    EXPECT_EQ(FindValue(g, "", 1), "empty key");
    EXPECT_EQ(FindValue(g, "KEY", 1), "a\tb\t");
    EXPECT_EQ(FindValue(g, "K", 1), "<none>");
    EXPECT_EQ(FindValue(g, "TAIL", 1), "<none>");
}

TEST_F(KeyedTextFileTest, CrLfAndLfFilesReadAlike)
{
    for (const char* end : kLineEnds) {
        std::string e = end;
        WriteBytes(file,
                   "KTX_FILE\tDERVANE TEST" + e + "VERSION\t1.0" + e + "ENTRY_0\tone\ttwo" + e + "ENTRY_1\t" + e +
                       "ENTRY_2\tcr\r\r\n" + "ENTRY_3\tlast" + e);
        EXPECT_EQ(ReadEntries(), (std::vector<std::string>{"one\ttwo", "", "cr\r", "last"}))
            << "line end length " << e.size();
    }
}

TEST_F(KeyedTextFileTest, ReaderStopsAtAGapOrAnEntryBeforeItsPredecessor)
{
    WriteBytes(file, "KTX_FILE\tDERVANE TEST\r\nENTRY_0\ta\r\nENTRY_2\tc\r\n");
    EXPECT_EQ(ReadEntries(), std::vector<std::string>{"a"});
    WriteBytes(file, "KTX_FILE\tDERVANE TEST\r\nENTRY_1\tb\r\nENTRY_0\ta\r\nENTRY_2\tc\r\n");
    EXPECT_EQ(ReadEntries(), std::vector<std::string>{"a"});
    WriteBytes(file, "KTX_FILE\tDERVANE OTHER\r\nENTRY_0\ta\r\n");
    EXPECT_EQ(ReadEntries(), std::vector<std::string>{});
}

TEST_F(KeyedTextFileTest, ForwardSearchRestartsAtTheFoundLineAndNeverWraps)
{
    WriteBytes(file, "ENTRY_1\tb\r\nENTRY_2\tc\r\nENTRY_3\td\r\nENTRY_4\te\r\n");
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(FindValue(f, "ENTRY_3", 0), "d");
    EXPECT_EQ(FindValue(f, "ENTRY_3", 0), "d");
    EXPECT_EQ(FindValue(f, "ENTRY_3", 0), "d");
    EXPECT_EQ(FindValue(f, "ENTRY_4", 0), "e");
    EXPECT_EQ(FindValue(f, "ENTRY_2", 0), "<none>");
    EXPECT_EQ(FindValue(f, "ENTRY_4", 0), "<none>");  // stays at the end
    EXPECT_EQ(FindValue(f, "ENTRY_1", 0), "<none>");
    EXPECT_EQ(FindValue(f, "ENTRY_2", 1), "c");
    EXPECT_EQ(FindValue(f, "ENTRY_1", 0), "<none>");
    EXPECT_EQ(f.GetMode(), CKeyedTextFile::MODE_READ);
}

TEST_F(KeyedTextFileTest, ManyRecordsOfEveryLengthReadBackExactly)
{
    // Varied lengths put CR LF pairs and lines across every read boundary.
    std::string bytes;
    std::vector<std::string> values;
    for (int i = 0; i < 3000; i++) {
        // Up to 1010 characters: ENTRY_dddd, TAB and the value fill 1021.
        values.push_back(std::string(static_cast<size_t>(i * 37 % 1011), static_cast<char>('a' + i % 26)));
        bytes += "ENTRY_" + std::to_string(i) + "\t" + values.back() + "\r\n";
    }
    WriteBytes(file, "KTX_FILE\tDERVANE TEST\r\n" + bytes);
    EXPECT_EQ(ReadEntries(), values);
}

TEST_F(KeyedTextFileTest, LinesReadBackWhereverTheReadAheadEnds)
{
    // Files of equal lines shifted by a first line of every length up to one
    // line's size, so that each byte of a line, its CR and LF among them, at
    // some shift falls at the end of the read-ahead. Lines of 1021 characters
    // (the longest) and short lines; CR LF and LF.
    struct Case {
        size_t valueLength;
        const char* end;
    };
    for (Case c : {Case{1021 - 11, "\r\n"}, Case{1021 - 11, "\n"}, Case{29, "\r\n"}}) {
        std::string value(c.valueLength, 'v');
        size_t lineBytes = 11 + c.valueLength + strlen(c.end);
        int count = static_cast<int>(20000 / lineBytes) + 1;
        std::string lines;
        for (int i = 0; i < count; i++)
            lines += "ENTRY_" + std::to_string(1000 + i) + "\t" + value + c.end;
        for (size_t shift = 1; shift <= lineBytes; shift++) {
            WriteBytes(file, std::string(shift - 1, '#') + "\n" + lines);
            CKeyedTextFile f(file.c_str());
            int found = 0;
            while (found < count && FindValue(f, ("ENTRY_" + std::to_string(1000 + found)).c_str(), 0) == value)
                found++;
            ASSERT_EQ(found, count) << "lines of " << lineBytes << " bytes shifted by " << shift;
        }
    }
}

class LineLimitTest : public KeyedTextFileTest, public testing::WithParamInterface<int> {
protected:
    std::string end = kLineEnds[GetParam()];
};

TEST_P(LineLimitTest, LineOf1500CharactersIsSplitAndItsTailReadAsALine)
{
    std::string head = "HEAD\t" + std::string(1022 - 5, 'x');
    std::string tail = "TAIL\t" + std::string(478 - 5, 'y');
    WriteBytes(file, head + tail + end + "NEXT\tok" + end);
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(FindValue(f, "HEAD", 1), "<none>");
    EXPECT_EQ(FindValue(f, "TAIL", 1), std::string(473, 'y'));
    EXPECT_EQ(FindValue(f, "TAIL", 0), std::string(473, 'y'));  // back to the middle of the line
    EXPECT_EQ(FindValue(f, "NEXT", 0), "ok");
    EXPECT_EQ(f.Replace("TAIL", std::string(473, 'z').c_str()), 1);
    EXPECT_EQ(ReadBytes(file), head + "TAIL\t" + std::string(473, 'z') + end + "NEXT\tok" + end);
}

TEST_P(LineLimitTest, AtMost1021CharactersStandBeforeTheLineEnd)
{
    std::string fits = "K\t" + std::string(1019, 'v');  // 1021 characters
    std::string over = "L\t" + std::string(1020, 'w');  // 1022 characters
    WriteBytes(file, fits + end + over + end + "NEXT\tok" + end);
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(FindValue(f, "K", 1), std::string(1019, 'v'));
    EXPECT_EQ(FindValue(f, "L", 1), "<none>");
    EXPECT_EQ(FindValue(f, "NEXT", 1), "ok");
}

INSTANTIATE_TEST_SUITE_P(LfAndCrLf, LineLimitTest, testing::Values(0, 1));

TEST_F(KeyedTextFileTest, ReplaceOfEqualLengthOnlyLeavesTheRestByteIdentical)
{
    const std::string before =
        "KTX_FILE\tDERVANE TEST\r\n# c\r\n\r\nENTRY_0\tabc\r\nENTRY_1\tab\nno tab\nENTRY_1\tabc\r\n# c\r\n";
    WriteBytes(file, before);
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(f.Replace("ENTRY_0", "abcd"), 0);
    EXPECT_EQ(f.Replace("ENTRY_0", "ab"), 0);
    EXPECT_EQ(f.Replace("ENTRY_9", "abc"), 0);
    EXPECT_EQ(f.Replace("ENTRY_1", "a\nc"), 0);
    EXPECT_EQ(ReadBytes(file), before);
    // The first record of that key and length; an LF line keeps its LF.
    EXPECT_EQ(f.Replace("ENTRY_1", "xyz"), 1);
    EXPECT_EQ(f.Replace("ENTRY_1", "pq"), 1);
    EXPECT_EQ(f.GetMode(), CKeyedTextFile::MODE_UPDATE);
    EXPECT_EQ(f.Replace("ENTRY_0", "123"), 1);
    EXPECT_EQ(ReadBytes(file),
              "KTX_FILE\tDERVANE TEST\r\n# c\r\n\r\nENTRY_0\t123\r\nENTRY_1\tpq\nno tab\nENTRY_1\txyz\r\n# c\r\n");
    EXPECT_EQ(FindValue(f, "ENTRY_1", 1), "pq");
}

TEST_F(KeyedTextFileTest, ReplaceFarIntoALargeFileWritesAtTheExactLine)
{
    std::string bytes;
    for (int i = 0; i < 2000; i++)
        bytes += "ENTRY_" + std::to_string(i) + "\tvalue " + std::to_string(i % 10) + "\r\n";
    WriteBytes(file, bytes);
    CKeyedTextFile f(file.c_str());
    ASSERT_EQ(f.Replace("ENTRY_1500", "Value 0"), 1);
    ASSERT_EQ(f.Replace("ENTRY_7", "Value 7"), 1);
    std::string expected = bytes;
    for (const char* line : {"ENTRY_1500\tvalue 0", "ENTRY_7\tvalue 7"}) {  // now "Value"
        size_t at = expected.find(std::string("\n") + line);
        ASSERT_NE(at, std::string::npos);
        expected.replace(at + strlen(line) - 6, 1, "V");
    }
    EXPECT_EQ(ReadBytes(file), expected);
}

TEST_F(KeyedTextFileTest, NulBytesNeitherCrashNorFakeAKeyOrALength)
{
    const char raw[] = "ENTRY_0\tab\0cd\r\nENT\0RY\tfake\r\nENTRY_1\tx\0\r\n";
    std::string bytes(raw, sizeof raw - 1);
    WriteBytes(file, bytes);
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(FindValue(f, "ENTRY_0", 1), "ab");
    EXPECT_EQ(FindValue(f, "ENT", 1), "<none>");
    EXPECT_EQ(FindValue(f, "ENTRY_1", 1), "x");
    EXPECT_EQ(f.Replace("ENTRY_0", "ab"), 0);  // the stored value is 5 bytes long
    EXPECT_EQ(f.Replace("ENTRY_0", "vwxyz"), 1);
    EXPECT_EQ(ReadBytes(file), "ENTRY_0\tvwxyz\r\n" + bytes.substr(15));
}

TEST_F(KeyedTextFileTest, OverlongKeysAndValuesAreSkippedWithoutOverflow)
{
    std::string key200(200, 'K');
    std::string value5000(5000, 'v');
    for (size_t i : {700, 1800, 2900, 4000})
        value5000[i] = '\t';  // inside the pieces cut off without a line end
    value5000[4500] = '\t';  // in the last piece, after 418 characters
    WriteBytes(file,
               key200 + "\tvalue\r\nSHORT\t" + value5000 + "\r\nNEXT\tok\r\n" + std::string(49, 'K') + "\t49\r\n");
    CKeyedTextFile f(file.c_str());
    EXPECT_EQ(FindValue(f, key200.c_str(), 1), "<none>");
    EXPECT_EQ(FindValue(f, std::string(49, 'K').c_str(), 1), "49");
    EXPECT_EQ(FindValue(f, "SHORT", 1), "<none>");
    EXPECT_EQ(FindValue(f, "NEXT", 1), "ok");
    EXPECT_EQ(f.Replace(std::string(49, 'K').c_str(), "94"), 1);
    EXPECT_EQ(FindValue(f, std::string(49, 'K').c_str(), 1), "94");
}

TEST(KeyedTextFieldTest, FieldsAreCountedFromZeroAndMissingOnesLeaveTheDefault)
{
    char out[CKeyedTextFile::kLineSize];
    auto field = [&](const char* source, int index) -> std::string {
        strcpy(out, "default");
        return CKeyedTextFile::GetField(source, index, out) ? std::string(out) : "<none:" + std::string(out) + ">";
    };
    EXPECT_EQ(field("a\t\tb", 0), "a");
    EXPECT_EQ(field("a\t\tb", 1), "");
    EXPECT_EQ(field("a\t\tb", 2), "b");
    EXPECT_EQ(field("a\t\tb", 3), "<none:default>");
    EXPECT_EQ(field("a\t\tb", 1000000), "<none:default>");
    EXPECT_EQ(field("a\t\tb", -1), "<none:default>");
    EXPECT_EQ(field("a\t", 1), "<none:default>");
    EXPECT_EQ(field("", 0), "<none:default>");
    EXPECT_EQ(field("\tb", 0), "");
    EXPECT_EQ(field(nullptr, 0), "<none:default>");

    char small[4] = "zzz";
    EXPECT_EQ(CKeyedTextFile::GetField("x\tlonger", 1, small, sizeof small), 1);
    EXPECT_STREQ(small, "lon");
    std::string big(5000, 'f');
    std::vector<char> exact(CKeyedTextFile::kLineSize);
    EXPECT_EQ(CKeyedTextFile::GetField(big.c_str(), 0, exact.data()), 1);
    EXPECT_EQ(strlen(exact.data()), exact.size() - 1);
}

TEST(KeyedTextFieldTest, EntryKeysAreWrittenAsPrintfWritesThem)
{
    for (int n : {0, 7, 10, 9999, 123456789, -1, -40, INT_MAX, INT_MIN}) {
        char key[CKeyedTextFile::kKeySize];
        char expected[CKeyedTextFile::kKeySize];
        CKeyedTextFile::EntryKey(n, key);
        snprintf(expected, sizeof expected, "ENTRY_%d", n);
        EXPECT_STREQ(key, expected);
    }
}

}  // namespace
