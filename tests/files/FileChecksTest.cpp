// The window-free parts deletion and backup share: the pattern matcher, the
// match list, the folder checks.
#include "files/FileNameMatch.h"
#include "files/MatchList.h"
#include "files/TaskFolderCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(FileNameMatchTest, PatternsMatchTheWholeLongNameInAnyLetterCase)
{
    EXPECT_TRUE(MatchFileName("*.htm", "a.HTM"));
    EXPECT_FALSE(MatchFileName("*.htm", "b.html"));  // the short name B~1.HTM would match
    EXPECT_FALSE(MatchFileName("*.htm", "c.htmx"));
    EXPECT_TRUE(MatchFileName("~*.*", "~WRL0001.tmp"));
    EXPECT_TRUE(MatchFileName("report.doc", "REPORT.DOC"));
    EXPECT_FALSE(MatchFileName("report.doc", "report.docx"));
    EXPECT_TRUE(MatchFileName("a?c", "abc"));
    EXPECT_FALSE(MatchFileName("a?c", "ac"));
    EXPECT_TRUE(MatchFileName("*a*b*c*", "xxaxxbxxcxx"));
    EXPECT_FALSE(MatchFileName("", "a"));
}

TEST(FileNameMatchTest, DotEndingsFollowThePlatform)
{
    EXPECT_TRUE(MatchFileName("*.*", "Makefile"));
    EXPECT_TRUE(MatchFileName("*.*", "a.b.c"));
    EXPECT_TRUE(MatchFileName("readme.*", "README"));
    EXPECT_TRUE(MatchFileName("*.", "Makefile"));
    EXPECT_FALSE(MatchFileName("*.", "a.txt"));
}

TEST(FileNameMatchTest, ManyStarsOnALongNameStayFast)
{
    const std::string name(5000, 'a');
    EXPECT_FALSE(MatchFileName("*a*a*a*a*a*a*a*a*a*a*a*a*b", name));
}

TEST(MatchListTest, HoldsEachNameOnceWhateverItsCase)
{
    MatchList list;
    EXPECT_TRUE(list.Add("Thumbs.db"));
    EXPECT_FALSE(list.Add("THUMBS.DB"));
    EXPECT_TRUE(list.Add("thumbs.db2"));
    EXPECT_EQ(2u, list.Size());
    EXPECT_TRUE(list.Contains("thumbs.DB"));
    EXPECT_FALSE(list.Contains("thumbs"));
    // Every script's letters, the same in both builds.
    EXPECT_TRUE(list.Add("\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82.doc"));  // отчёт.doc
    EXPECT_FALSE(list.Add("\xD0\x9E\xD0\xA2\xD0\xA7\xD0\x81\xD0\xA2.DOC"));
    EXPECT_TRUE(list.Add("\xC3\xA9t\xC3\xA9.txt"));
    EXPECT_TRUE(list.Contains("\xC3\x89T\xC3\x89.TXT"));
    EXPECT_FALSE(list.Contains("ete.txt"));
}

namespace {

const std::vector<ProtectedFolder> kProtected = {
    {"C:\\WINDOWS", "the Windows folder"},
    {"C:\\Users\\ann\\AppData\\Local\\Programs\\Dervane", "the program's own folder"},
    {"C:\\Users\\ann", "your profile folder"},
};

FolderProblem Problem(const std::string& folder, bool missingMacro = false)
{
    return CheckTaskFolder(folder, kProtected, missingMacro).problem;
}

}  // namespace

TEST(TaskFolderCheckTest, RefusesEveryFolderThatCouldNameMoreThanMeant)
{
    EXPECT_EQ(FolderProblem::kEmpty, Problem(""));
    EXPECT_EQ(FolderProblem::kEmpty, Problem("   "));
    EXPECT_EQ(FolderProblem::kMissingMacro, Problem("C:\\x", true));
    EXPECT_EQ(FolderProblem::kControlCharacter, Problem("C:\\a\tb"));
    EXPECT_EQ(FolderProblem::kTooLong, Problem("C:\\" + std::string(300, 'a')));
    EXPECT_EQ(FolderProblem::kRelative, Problem("Temp"));
    EXPECT_EQ(FolderProblem::kRelative, Problem("..\\..\\x"));
    EXPECT_EQ(FolderProblem::kRelative, Problem("\\Content.IE5"));
    EXPECT_EQ(FolderProblem::kRelative, Problem("C:Temp"));
    EXPECT_EQ(FolderProblem::kDevicePath, Problem("\\\\?\\C:\\Temp"));
    EXPECT_EQ(FolderProblem::kDevicePath, Problem("\\\\.\\PhysicalDrive0"));
    EXPECT_EQ(FolderProblem::kDevicePath, Problem("\\??\\C:\\Temp"));
    EXPECT_EQ(FolderProblem::kRoot, Problem("C:\\"));
    EXPECT_EQ(FolderProblem::kRoot, Problem("d:/"));
    EXPECT_EQ(FolderProblem::kRoot, Problem("C:\\\\"));
    EXPECT_EQ(FolderProblem::kRoot, Problem("\\\\server\\share"));
    EXPECT_EQ(FolderProblem::kBadCharacter, Problem("C:\\Temp\\*"));
    EXPECT_EQ(FolderProblem::kBadCharacter, Problem("C:\\Temp:stream"));
    EXPECT_EQ(FolderProblem::kBadComponent, Problem("C:\\Temp\\.."));
    EXPECT_EQ(FolderProblem::kBadComponent, Problem("C:\\WINDOWS."));
    EXPECT_EQ(FolderProblem::kBadComponent, Problem("C:\\Temp\\.\\x"));
}

TEST(TaskFolderCheckTest, RefusesTheProtectedFoldersAndEveryFolderAboveThem)
{
    EXPECT_EQ(FolderProblem::kProtected, Problem("C:\\WINDOWS"));
    EXPECT_EQ(FolderProblem::kProtected, Problem("c:/windows/"));
    EXPECT_EQ(FolderProblem::kProtected, Problem("C:\\Users\\ann\\\\"));
    const FolderCheck above = CheckTaskFolder("C:\\Users\\ann\\AppData\\Local", kProtected);
    EXPECT_EQ(FolderProblem::kHoldsProtected, above.problem);
    EXPECT_EQ("This folder holds the program's own folder. It cannot be cleaned.", FolderProblemMessage(above));
    EXPECT_EQ(FolderProblem::kHoldsProtected, Problem("C:\\Users"));
    EXPECT_EQ(FolderProblem::kNone, Problem("C:\\WINDOWS\\TEMP"));
    EXPECT_EQ(FolderProblem::kNone, Problem("C:\\WINDOWSX"));
    EXPECT_EQ(FolderProblem::kNone, Problem("C:\\Users\\ann\\AppData\\Local\\Temp\\"));
    EXPECT_EQ(FolderProblem::kNone, Problem("\\\\server\\share\\temp"));
}
