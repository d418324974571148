#include "icons/LayoutNames.h"

#include <gtest/gtest.h>

#include <string>

TEST(LayoutFileName, AppendsTheExtensionUnlessTheNameCarriesItInOneOfTwoSpellings)
{
    EXPECT_EQ("Home.dvl", LayoutFileName("Home"));
    EXPECT_EQ("Home.DVL", LayoutFileName("Home.DVL"));
    EXPECT_EQ("Home.dvl", LayoutFileName("Home.dvl"));
    // Any other mix of capitals gets a second extension.
    EXPECT_EQ("Home.Dvl.dvl", LayoutFileName("Home.Dvl"));
    // "Somewhere" in the name counts, not only at its end.
    EXPECT_EQ("old.dvl.bak", LayoutFileName("old.dvl.bak"));
    EXPECT_EQ("My Layout.v2.dvl", LayoutFileName("My Layout.v2"));
    EXPECT_EQ(".dvl", LayoutFileName(""));
}

TEST(LayoutFileName, ScreenLayoutsAreNamedAfterTheScreenSize)
{
    EXPECT_EQ("1024x768.dvl", ScreenLayoutFileName(1024, 768));
    EXPECT_EQ("800x600.dvl", ScreenLayoutFileName(800, 600));
    EXPECT_STREQ("Positions", LayoutFolderName(kPositionsLayout));
    EXPECT_STREQ("Shortcuts", LayoutFolderName(kShortcutsLayout));
}

TEST(LayoutFileName, TitlesLoseTheLastExtensionOnly)
{
    EXPECT_EQ("Home", LayoutTitle("Home.dvl"));
    EXPECT_EQ("Home", LayoutTitle("Home.DVL"));
    EXPECT_EQ("my.layout", LayoutTitle("my.layout.dvl"));
    EXPECT_EQ("[original]", LayoutTitle("[original].dvl"));
    EXPECT_EQ("plain", LayoutTitle("plain"));
}

TEST(LayoutFileName, TheOriginalLayoutIsKnownInAnyCapitals)
{
    EXPECT_TRUE(IsOriginalLayoutFile("[original].dvl"));
    EXPECT_TRUE(IsOriginalLayoutFile("[ORIGINAL].DVL"));
    EXPECT_FALSE(IsOriginalLayoutFile("[original]"));
    EXPECT_FALSE(IsOriginalLayoutFile("[original] 2.dvl"));
    EXPECT_TRUE(IsOriginalLayoutTitle("[Original]"));
    EXPECT_FALSE(IsOriginalLayoutTitle("original"));
}

TEST(LayoutQuestions, ReplaceNamesTheLayoutWithoutItsExtension)
{
    EXPECT_EQ("Replace existing layout \"Home\"?", ReplaceLayoutQuestion("Home.dvl"));
    EXPECT_EQ("Replace existing layout \"Home\"?", ReplaceLayoutQuestion("Home.DVL"));
    EXPECT_EQ("Replace existing layout \"1024x768\"?", ReplaceLayoutQuestion("1024x768.dvl"));
}

TEST(LayoutQuestions, ShortcutsQuestionCountsTheSelectionOrTheWholeDesktop)
{
    EXPECT_EQ("Save layout with 12 shortcuts (entire desktop)?", SaveShortcutsQuestion(12, 0));
    EXPECT_EQ("Save layout with 1 shortcut?", SaveShortcutsQuestion(12, 1));
    EXPECT_EQ("Save layout with 12 shortcuts (entire desktop)?", SaveShortcutsQuestion(12, 12));
    EXPECT_EQ("Save layout with 1 shortcut (entire desktop)?", SaveShortcutsQuestion(1, 1));
    EXPECT_EQ("Save layout with 3 shortcuts?", SaveShortcutsQuestion(12, 3));
    // A desktop of one icon and no selection: one shortcut, not "1 shortcuts".
    EXPECT_EQ("Save layout with 1 shortcut (entire desktop)?", SaveShortcutsQuestion(1, 0));
    EXPECT_EQ("Save layout with 0 shortcuts (entire desktop)?", SaveShortcutsQuestion(0, 0));
}

TEST(LayoutNameCheck, RefusesEveryCharacterThatCannotBeInAFileName)
{
    for (char bad : std::string("\\/:*?\"<>|")) {
        const std::string name = std::string("Ho") + bad + "me.dvl";
        EXPECT_EQ(LayoutNameProblem::kBadCharacter, CheckLayoutFileName(name, 20)) << name;
    }
    EXPECT_EQ(LayoutNameProblem::kBadCharacter, CheckLayoutFileName("Ho\tme.dvl", 20));
    EXPECT_EQ(LayoutNameProblem::kBadCharacter, CheckLayoutFileName("..\\..\\evil.dvl", 20));
    EXPECT_EQ(LayoutNameProblem::kNone, CheckLayoutFileName("[original].dvl", 20));
    EXPECT_EQ(LayoutNameProblem::kNone, CheckLayoutFileName("Work, 2 screens (old).dvl", 20));
    EXPECT_EQ(LayoutNameProblem::kEmpty, CheckLayoutFileName("", 20));
}

TEST(LayoutNameCheck, RefusesNamesTooLongForTheFileOrForThePath)
{
    EXPECT_EQ(LayoutNameProblem::kTooLong, CheckLayoutFileName(std::string(300, 'a') + ".dvl", 3));
    EXPECT_EQ(LayoutNameProblem::kTooLong, CheckLayoutFileName(std::string(252, 'a') + ".dvl", 3));
    // 251 + 4 = 255 characters is the longest file name; with C:\ as the
    // program folder the path is 3 + 1 + 9 + 1 + 255 = 269: too long still.
    EXPECT_EQ(LayoutNameProblem::kTooLong, CheckLayoutFileName(std::string(251, 'a') + ".dvl", 3));
    // The path may have 259 characters: 259 - 3 - 11 = 245 for the file name.
    EXPECT_EQ(LayoutNameProblem::kNone, CheckLayoutFileName(std::string(241, 'a') + ".dvl", 3));
    EXPECT_EQ(LayoutNameProblem::kTooLong, CheckLayoutFileName(std::string(242, 'a') + ".dvl", 3));
    // A deep program folder leaves less.
    EXPECT_EQ(LayoutNameProblem::kTooLong, CheckLayoutFileName("Home.dvl", 250));
    EXPECT_EQ(LayoutNameProblem::kNone, CheckLayoutFileName("Home.dvl", 240));
    // Characters, not bytes: 241 Cyrillic letters take 482 bytes and fit.
    std::string cyrillic;
    for (int i = 0; i < 241; ++i)
        cyrillic += "\xD0\x96";
    EXPECT_EQ(LayoutNameProblem::kNone, CheckLayoutFileName(cyrillic + ".dvl", 3));
    EXPECT_EQ(LayoutNameProblem::kTooLong, CheckLayoutFileName(cyrillic + "\xD0\x96.dvl", 3));
}

TEST(LayoutNameCheck, RefusesTheNamesWindowsKeepsForDevices)
{
    for (const char* name : {"CON.dvl", "con.dvl", "Nul.dvl", "AUX.dvl", "PRN.DVL", "COM1.dvl", "lpt9.dvl", "CON .dvl",
                             "CON.txt.dvl", "CONIN$.dvl", "conout$.dvl"}) {
        EXPECT_EQ(LayoutNameProblem::kDeviceName, CheckLayoutFileName(name, 20)) << name;
    }
    for (const char* name : {"CONSOLE.dvl", "COM.dvl", "COM10.dvl", "LPT0.dvl", "my CON.dvl"})
        EXPECT_EQ(LayoutNameProblem::kNone, CheckLayoutFileName(name, 20)) << name;
}

TEST(LayoutNameCheck, EveryProblemHasAMessageAndNoneHasNone)
{
    EXPECT_STREQ("", LayoutNameProblemText(LayoutNameProblem::kNone));
    for (LayoutNameProblem problem : {LayoutNameProblem::kEmpty, LayoutNameProblem::kBadCharacter,
                                      LayoutNameProblem::kDeviceName, LayoutNameProblem::kTooLong}) {
        EXPECT_GT(std::string(LayoutNameProblemText(problem)).size(), 10u);
    }
    EXPECT_NE(std::string(LayoutNameProblemText(LayoutNameProblem::kBadCharacter)).find("\\ / : * ? \" < > |"),
              std::string::npos);
}
