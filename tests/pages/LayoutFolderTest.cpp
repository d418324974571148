#include "icons/LayoutFolder.h"

#include "LayoutTestFiles.h"
#include "common/LayoutFormat.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Titles = std::vector<std::string>;

class LayoutFolderTest : public testing::Test {
protected:
    TempDir dir;
    CLayoutFolder folder{dir.Path()};

    std::string Positions(const char* name) const
    {
        return dir.Path() + kPathSeparator + "Positions" + kPathSeparator + name;
    }
};

}  // namespace

TEST_F(LayoutFolderTest, ListsTheTitlesOfOneKindSortedAndNeverTheOriginal)
{
    WritePositions(dir.Path(), "b.dvl");
    WritePositions(dir.Path(), "A.dvl");
    WritePositions(dir.Path(), "[Original].dvl");
    WritePositions(dir.Path(), "Upper.DVL");
    WritePositions(dir.Path(), "notes.txt");
    WritePositions(dir.Path(), "x.dvlx");
    WritePositions(dir.Path(), ".dvl");
    std::filesystem::create_directory(Positions("Folder.dvl"));
    WriteShortcuts(dir.Path(), "Work.dvl", 1);
    // The places the hook library keeps by itself for a screen size.
    WritePositions(dir.Path(), ScreenSnapshotFileName(1024, 768).c_str());

    EXPECT_EQ((Titles{"A", "b", "Upper"}), folder.ListTitles(kPositionsLayout));
    EXPECT_EQ((Titles{"Work"}), folder.ListTitles(kShortcutsLayout));
}

TEST_F(LayoutFolderTest, AMissingFolderListsNothing)
{
    EXPECT_TRUE(folder.ListTitles(kPositionsLayout).empty());
    CLayoutFolder nowhere(dir.File("not there"));
    EXPECT_TRUE(nowhere.ListTitles(kShortcutsLayout).empty());
    EXPECT_EQ(0, nowhere.Exists(kPositionsLayout, "Home.dvl"));
}

TEST_F(LayoutFolderTest, PathsAreJoinedToTheProgramFolder)
{
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ("Positions" + sep + "Home.dvl", folder.RelativePath(kPositionsLayout, "Home.dvl"));
    EXPECT_EQ("Shortcuts" + sep + "Home.dvl", folder.RelativePath(kShortcutsLayout, "Home.dvl"));
    EXPECT_EQ(dir.Path() + sep + "Shortcuts" + sep + "Home.dvl", folder.FilePath(kShortcutsLayout, "Home.dvl"));
}

TEST_F(LayoutFolderTest, NamesThatReachOutsideTheFolderFindNothing)
{
    WritePositions(dir.Path(), "Home.dvl");
    const std::string outside = dir.File("Outside.dvl");
    WriteBytes(outside, "not a layout");
    const std::string escape = std::string("..") + kPathSeparator + "Outside.dvl";

    EXPECT_EQ("", folder.FilePath(kPositionsLayout, escape));
    EXPECT_EQ("", folder.FilePath(kPositionsLayout, "CON.dvl"));
    EXPECT_EQ(0, folder.Exists(kPositionsLayout, escape));
    EXPECT_EQ(0, folder.Delete(kPositionsLayout, escape));
    EXPECT_EQ(0, folder.Rename(kPositionsLayout, "Home.dvl", escape));
    EXPECT_TRUE(FileExists(outside));
    EXPECT_TRUE(FileExists(Positions("Home.dvl")));
}

TEST_F(LayoutFolderTest, ExistsAndDeleteTakeOnlyPlainFilesOfTheirKind)
{
    WritePositions(dir.Path(), "Home.dvl");
    std::filesystem::create_directory(Positions("Folder.dvl"));
    EXPECT_EQ(1, folder.Exists(kPositionsLayout, "Home.dvl"));
    EXPECT_EQ(0, folder.Exists(kShortcutsLayout, "Home.dvl"));
    EXPECT_EQ(0, folder.Exists(kPositionsLayout, "Folder.dvl"));

    EXPECT_EQ(0, folder.Delete(kShortcutsLayout, "Home.dvl"));
    EXPECT_TRUE(FileExists(Positions("Home.dvl")));
    EXPECT_EQ(1, folder.Delete(kPositionsLayout, "Home.dvl"));
    EXPECT_FALSE(FileExists(Positions("Home.dvl")));
    EXPECT_EQ(0, folder.Delete(kPositionsLayout, "Home.dvl"));
    EXPECT_EQ(0, folder.Delete(kPositionsLayout, "Folder.dvl"));
    EXPECT_TRUE(FileExists(Positions("Folder.dvl")));
}

TEST_F(LayoutFolderTest, RenameNeverReplacesAnotherLayout)
{
    const std::string home = WritePositions(dir.Path(), "Home.dvl");
    WriteBytes(Positions("Work.dvl"), "work layout");

    EXPECT_EQ(0, folder.Rename(kPositionsLayout, "Home.dvl", "Work.dvl"));
    EXPECT_EQ("work layout", ReadBytes(Positions("Work.dvl")));
    EXPECT_TRUE(FileExists(home));

    EXPECT_EQ(0, folder.Rename(kPositionsLayout, "Missing.dvl", "Other.dvl"));
    EXPECT_FALSE(FileExists(Positions("Other.dvl")));

    EXPECT_EQ(1, folder.Rename(kPositionsLayout, "Home.dvl", "Office.dvl"));
    EXPECT_FALSE(FileExists(home));
    EXPECT_TRUE(FileExists(Positions("Office.dvl")));
    // A change of capitals alone is the same layout.
    EXPECT_EQ(1, folder.Rename(kPositionsLayout, "Office.dvl", "OFFICE.dvl"));
    EXPECT_EQ((Titles{"OFFICE", "Work"}), folder.ListTitles(kPositionsLayout));
}

TEST_F(LayoutFolderTest, LoadedStateComesFromTheShortcutsLayoutsOwnRecord)
{
    WriteShortcuts(dir.Path(), "On.dvl", 1);
    WriteShortcuts(dir.Path(), "Off.dvl", 0);
    WriteShortcuts(dir.Path(), "NoRecord.dvl", -1);
    WriteLayout(dir.Path(), kShortcutsLayout, "Positions kind.dvl", "DERVANE ICON POSITIONS", 1);
    WriteLayout(dir.Path(), kShortcutsLayout, "Untitled.dvl", "", 1);
    WriteBytes(dir.Path() + kPathSeparator + "Shortcuts" + kPathSeparator + "Empty.dvl", "");

    EXPECT_EQ(1, folder.LoadedState("On.dvl"));
    EXPECT_EQ(0, folder.LoadedState("Off.dvl"));
    EXPECT_EQ(-1, folder.LoadedState("NoRecord.dvl"));
    EXPECT_EQ(-1, folder.LoadedState("Positions kind.dvl"));
    EXPECT_EQ(-1, folder.LoadedState("Untitled.dvl"));
    EXPECT_EQ(-1, folder.LoadedState("Empty.dvl"));
    EXPECT_EQ(-1, folder.LoadedState("Missing.dvl"));
}
