#include "icons/HideRuleList.h"

#include "common/Log.h"
#include "tests/common/LoggedFolderTest.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Patterns = std::vector<std::string>;

Patterns PatternsOf(const CHideRuleList& list)
{
    Patterns patterns;
    for (const HideRule& rule : list.Rules())
        patterns.push_back(rule.pattern + "/" + std::to_string(rule.kind));
    return patterns;
}

class HideRuleListTest : public LoggedFolderTest {
protected:
    std::string file = dir.File("IconHide.txt");
    CHideRuleList list;
};

}  // namespace

TEST_F(HideRuleListTest, APatternIsAddedOnceWhateverItsKind)
{
    EXPECT_EQ(1, list.Add("Recycle Bin", kHideByLabel));
    EXPECT_EQ(0, list.Add("Recycle Bin", kHideByReference));
    // Patterns are compared with their capitals.
    EXPECT_EQ(1, list.Add("recycle bin", kHideByReference));
    EXPECT_EQ((Patterns{"Recycle Bin/0", "recycle bin/1"}), PatternsOf(list));
    EXPECT_EQ(1, list.Find("recycle bin"));
    EXPECT_EQ(-1, list.Find("RECYCLE BIN"));
    // The list itself does not decide when a change counts.
    EXPECT_FALSE(list.IsModified());
}

TEST_F(HideRuleListTest, RemoveMovesTheLaterRulesUpAndReplaceMovesTheRuleToTheEnd)
{
    list.Add("a", 0);
    list.Add("b", 0);
    list.Add("c", 1);
    EXPECT_EQ(0, list.Remove("x"));
    EXPECT_EQ(1, list.Remove("a"));
    EXPECT_EQ((Patterns{"b/0", "c/1"}), PatternsOf(list));
    list.Replace("b", "B*", 1);
    EXPECT_EQ((Patterns{"c/1", "B*/1"}), PatternsOf(list));
}

TEST_F(HideRuleListTest, SavesTheTitleTheVersionAndOneEntryPerRuleInOrder)
{
    list.Add("*.tmp", kHideByLabel);
    list.Add("notepad.exe", kHideByReference);
    list.SetModified(true);
    EXPECT_EQ(ListSaveResult::kWritten, list.Save(file));
    EXPECT_FALSE(list.IsModified());
    EXPECT_EQ("KTX_FILE\tDERVANE ICON HIDE\r\n"
              "VERSION\t1.0\r\n"
              "ENTRY_0\t*.tmp\t0\r\n"
              "ENTRY_1\tnotepad.exe\t1\r\n",
              ReadBytes(file));
}

TEST_F(HideRuleListTest, AnUnmodifiedListWritesNothing)
{
    list.Add("x", 0);
    EXPECT_EQ(ListSaveResult::kNotChanged, list.Save(file));
    EXPECT_FALSE(FileExists(file));
    WriteBytes(file, "KTX_FILE\tDERVANE ICON HIDE\r\n");
    EXPECT_EQ(ListSaveResult::kNotChanged, list.Save(file));
    EXPECT_EQ("KTX_FILE\tDERVANE ICON HIDE\r\n", ReadBytes(file));
}

TEST_F(HideRuleListTest, LoadingGoesOnPastAMissingEntryAndTheNextSaveNumbersAfresh)
{
    WriteBytes(file,
               "KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\n"
               "ENTRY_0\tRecycle Bin\t0\r\nENTRY_1\tcalc.exe\t1\r\nENTRY_3\tlost\t0\r\n");
    EXPECT_EQ(1, list.Load(file));
    EXPECT_EQ((Patterns{"Recycle Bin/0", "calc.exe/1", "lost/0"}), PatternsOf(list));
    list.SetModified(true);
    list.Save(file);
    EXPECT_EQ("KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\n"
              "ENTRY_0\tRecycle Bin\t0\r\nENTRY_1\tcalc.exe\t1\r\nENTRY_2\tlost\t0\r\n",
              ReadBytes(file));
}

TEST_F(HideRuleListTest, MissingFieldsTakeTheirDefaultsAndDuplicatesInTheFileStay)
{
    WriteBytes(file,
               "KTX_FILE\tDERVANE ICON HIDE\nENTRY_0\tonly a pattern\nENTRY_1\tdup\t1\nENTRY_2\tdup\t0\n"
               "ENTRY_3\t\n");
    EXPECT_EQ(1, list.Load(file));
    EXPECT_EQ((Patterns{"only a pattern/0", "dup/1", "dup/0", "/0"}), PatternsOf(list));
}

TEST_F(HideRuleListTest, AMissingOrForeignFileGivesAnEmptyList)
{
    list.Add("stale", 0);
    EXPECT_EQ(0, list.Load(file));
    EXPECT_TRUE(list.Rules().empty());
    EXPECT_NE(std::string::npos, ErrorLog().find("WARNING: Cannot read IconHide.txt file"));

    WriteBytes(file, "KTX_FILE\tDERVANE TRAY ICONS\r\nENTRY_0\tx\t0\r\n");
    EXPECT_EQ(0, list.Load(file));
    EXPECT_TRUE(list.Rules().empty());
    WriteBytes(file, "ENTRY_0\tx\t0\r\n");
    EXPECT_EQ(0, list.Load(file));
    EXPECT_TRUE(list.Rules().empty());
}

TEST_F(HideRuleListTest, AFileThatCannotBeCreatedIsLoggedAndTheChangeKeptForLater)
{
    const std::string nowhere = dir.File("no such folder") + "/IconHide.txt";
    list.Add("x", 0);
    list.SetModified(true);
    EXPECT_EQ(ListSaveResult::kFailed, list.Save(nowhere));
    EXPECT_TRUE(list.IsModified());
    EXPECT_NE(std::string::npos, ErrorLog().find("WARNING: Cannot create IconHide.txt file"));
    EXPECT_EQ(ListSaveResult::kWritten, list.Save(file));
}

TEST_F(HideRuleListTest, AFailedSaveLeavesTheFileAsItWas)
{
    const std::string before = "KTX_FILE\tDERVANE ICON HIDE\r\nVERSION\t1.0\r\nENTRY_0\tkept\t0\r\n";
    WriteBytes(file, before);
    list.Add("fine", 0);
    list.Add("line\nbreak", 0);  // a record no reader would give back
    list.SetModified(true);
    EXPECT_EQ(ListSaveResult::kFailed, list.Save(file));
    EXPECT_TRUE(list.IsModified());
    EXPECT_EQ(before, ReadBytes(file));
    EXPECT_FALSE(FileExists(file + ".new"));
    EXPECT_NE(std::string::npos, ErrorLog().find("WARNING: Cannot write IconHide.txt file"));
}

TEST_F(HideRuleListTest, PatternsThatCannotBeStoredFaithfullyAreRefused)
{
    EXPECT_EQ(HidePatternProblem::kNone, CHideRuleList::CheckPattern("*.lnk"));
    EXPECT_EQ(HidePatternProblem::kNone, CHideRuleList::CheckPattern(std::string(259, 'p')));
    EXPECT_EQ(HidePatternProblem::kTooLong, CHideRuleList::CheckPattern(std::string(260, 'p')));
    EXPECT_EQ(HidePatternProblem::kTooLong, CHideRuleList::CheckPattern(std::string(2000, 'p')));
    EXPECT_EQ(HidePatternProblem::kControlCharacter, CHideRuleList::CheckPattern("a\tb"));
    EXPECT_EQ(HidePatternProblem::kControlCharacter, CHideRuleList::CheckPattern("a\r\nb"));
    EXPECT_EQ(HidePatternProblem::kEmpty, CHideRuleList::CheckPattern(""));

    // The longest pattern accepted comes back from the file as it went in.
    list.Add(std::string(259, 'p'), 1);
    list.SetModified(true);
    ASSERT_EQ(ListSaveResult::kWritten, list.Save(file));
    CHideRuleList again;
    again.Load(file);
    ASSERT_EQ(1u, again.Rules().size());
    EXPECT_EQ(std::string(259, 'p'), again.Rules()[0].pattern);
    EXPECT_EQ(1, again.Rules()[0].kind);
}
