// Layout files and requests that are not what the program writes: nothing
// breaks, only valid records act, and no file outside the layout folders is
// touched.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "hook/DervaneHook.h"
#include "tests/harness/Wait.h"
#include "tests/hook/HookTestSupport.h"

using namespace std::string_literals;

namespace {

const char kHeader[] = "KTX_FILE\tDERVANE ICON POSITIONS\r\nVERSION\t1.0\r\nICON_TEXT_COLOR_FG\t16777215\r\n"
                       "ICON_TEXT_COLOR_BG\t0\r\nICON_TEXT_BG\t0\r\nICON_STYLE\t0\r\n";

class HookBadInputTest : public CHookedDesktopTest {
protected:
    void SetUp() override
    {
        CHookedDesktopTest::SetUp();
        for (const char* name : {"Notes.txt", "Readme.txt", "Letter.doc"})
            ASSERT_TRUE(m_desktop.AddFile(name));
        ASSERT_TRUE(StartAndAttach());
        ASSERT_EQ(0ul, SendSettings(DefaultSettings()));
        CreateDirectoryA((m_folder + "\\Positions").c_str(), nullptr);
        CreateDirectoryA((m_folder + "\\Shortcuts").c_str(), nullptr);
    }

    std::map<std::string, POINT> Positions()
    {
        std::map<std::string, POINT> positions;
        std::vector<Item> items;
        EXPECT_TRUE(Host().Items(items));
        for (const Item& item : items)
            positions.emplace(item.label, POINT{item.x, item.y});
        return positions;
    }

    // Every icon but those in moved is where it was in before.
    void ExpectUnmoved(const std::map<std::string, POINT>& before, const std::vector<std::string>& moved)
    {
        const auto after = Positions();
        ASSERT_EQ(before.size(), after.size());
        for (const auto& entry : before) {
            if (std::find(moved.begin(), moved.end(), entry.first) != moved.end())
                continue;
            EXPECT_EQ(entry.second.x, after.at(entry.first).x) << entry.first;
            EXPECT_EQ(entry.second.y, after.at(entry.first).y) << entry.first;
        }
    }
};

TEST_F(HookBadInputTest, BrokenRecordsAreSkippedAndValidOnesStillApply)
{
    const auto before = Positions();
    std::string file = kHeader;
    file += "ICON_0\tNotes.txt\t111,111\r\n";
    file += "JUNK\t" + std::string(5000, 'x') + "\t10,10\r\n";
    file += "ICON_1\t" + std::string(800, 'L') + "\t20,20\r\n";
    file += "ICON_2\tReadme.txt 222,222\r\n";  // no TAB before the position
    file += "ICON_3\tLetter.doc\tabc\r\n";  // no position
    file += "ICON_4\tReadme\0.txt\t30,30\r\n"s;  // a NUL in the label
    file += "ICON_5\tReadme.txt\t\0"s + "40,40\r\n";  // a NUL before the position
    // Labels that are no UTF-8: a stray byte, a cut sequence, an overlong
    // form, a surrogate. They name no icon; nothing breaks on them.
    const std::vector<std::string> odd = {"\xFF\xFE.txt", "Notes\xE6\x97", "\xC0\xAF", "\xED\xA0\x80.txt"};
    for (int n = 6; n < 5006; ++n) {
        const size_t at = static_cast<size_t>(n - 6);
        file += "ICON_" + std::to_string(n) + "\t" + (at < odd.size() ? odd[at] : "Ghost " + std::to_string(n)) +
            "\t10,10\r\n";
    }
    file += "ICON_5006\tLetter.doc\t333,333\r\n";
    ASSERT_TRUE(WriteFileBytes(PositionsFile("broken.dvl"), file));

    EXPECT_EQ(1ul, Send(HOOKMSG_LOAD_POSITIONS, "broken.dvl"));
    EXPECT_EQ(111, ItemNamed("Notes.txt").x);
    EXPECT_EQ(111, ItemNamed("Notes.txt").y);
    EXPECT_EQ(333, ItemNamed("Letter.doc").x);
    EXPECT_EQ(333, ItemNamed("Letter.doc").y);
    ExpectUnmoved(before, {"Notes.txt", "Letter.doc"});
    // The overlong label, the missing TAB, "abc" and the two cut short by a NUL.
    EXPECT_EQ(5, CountLines(ReadErrorLog(m_folder), "WARNING: Skipped an invalid icon record in: "));
    EXPECT_EQ(1u, ReadView().listViewSubclassed);
}

// A label of 261 CJK characters fills its field (783 bytes): it is read
// whole, not skipped, and the records after it still apply.
TEST_F(HookBadInputTest, LabelThatFillsItsFieldIsRead)
{
    std::string filling;
    for (int i = 0; i < 261; ++i)
        filling += "日";
    ASSERT_TRUE(WriteFileBytes(PositionsFile("filling.dvl"), std::string(kHeader) + "ICON_0\t" + filling +
                                                                 "\t10,10\r\nICON_1\tReadme.txt\t150,160\r\n"));
    EXPECT_EQ(1ul, Send(HOOKMSG_LOAD_POSITIONS, "filling.dvl"));
    EXPECT_EQ(150, ItemNamed("Readme.txt").x);
    EXPECT_EQ(160, ItemNamed("Readme.txt").y);
    EXPECT_EQ(0, CountLines(ReadErrorLog(m_folder), "WARNING: Skipped an invalid icon record in: "));
}

TEST_F(HookBadInputTest, FileOfOneEndlessLineIsNoLayout)
{
    const auto before = Positions();
    ASSERT_TRUE(WriteFileBytes(PositionsFile("endless.dvl"), "KTX_FILE\t" + std::string(100000, 'K')));
    EXPECT_EQ(0ul, Send(HOOKMSG_LOAD_POSITIONS, "endless.dvl"));
    ASSERT_TRUE(WriteFileBytes(PositionsFile("binary.dvl"), "\0\0\0\r\n\tICON_0\0\r\n"s));
    EXPECT_EQ(0ul, Send(HOOKMSG_LOAD_POSITIONS, "binary.dvl"));
    EXPECT_EQ(2, CountLines(ReadErrorLog(m_folder), "WARNING: Invalid icon positions file: "));
    ExpectUnmoved(before, {});
}

TEST_F(HookBadInputTest, NamesThatLeaveTheLayoutFoldersAreRefused)
{
    ASSERT_TRUE(WriteFileBytes(m_folder + "\\outside.dvl", std::string(kHeader) + "ICON_0\tNotes.txt\t111,111\r\n"));
    const auto before = Positions();
    const std::vector<std::string> names = {"..\\outside.dvl",
                                            "..\\..\\outside.dvl",
                                            "sub\\x.dvl",
                                            "/x.dvl",
                                            "C:x.dvl",
                                            "C:\\outside.dvl",
                                            "a:b.dvl",
                                            "..",
                                            "",
                                            "con.dvl"};
    for (int code : {HOOKMSG_LOAD_POSITIONS, HOOKMSG_SAVE_POSITIONS, HOOKMSG_LOAD_SHORTCUTS, HOOKMSG_SAVE_SHORTCUTS}) {
        for (const std::string& name : names)
            EXPECT_EQ(0ul, Send(code, name)) << "code " << code << " name " << name;
    }
    const auto lines = ReadErrorLog(m_folder);
    for (const std::string& name : names)
        EXPECT_EQ(4, CountEntries(lines, "WARNING: Refused icon layout file name: " + name)) << name;
    ExpectUnmoved(before, {});
    // The file outside was neither read nor written.
    EXPECT_EQ(std::string(kHeader) + "ICON_0\tNotes.txt\t111,111\r\n", ReadFileBytes(m_folder + "\\outside.dvl"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((m_folder + "\\Positions\\sub").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((m_folder + "\\a").c_str()));
}

}  // namespace
