#include "desktop/FolderDiff.h"

#include <gtest/gtest.h>

using Keys = std::vector<std::string>;

TEST(FolderDiff, SameKeysInAnotherOrderAreNoChange)
{
    CFolderDiff diff;
    diff.Compare(Keys{"a", "b", "c"}, Keys{"c", "a", "b"});
    EXPECT_TRUE(diff.Empty());
}

TEST(FolderDiff, FindsAddedAndRemovedKeysInTheirOrder)
{
    CFolderDiff diff;
    diff.Compare(Keys{"a", "gone1", "b", "gone2"}, Keys{"new2", "b", "a", "new1"});
    EXPECT_EQ(diff.Added(), (Keys{"new2", "new1"}));
    EXPECT_EQ(diff.Removed(), (Keys{"gone1", "gone2"}));
    EXPECT_FALSE(diff.Empty());
}

TEST(FolderDiff, EmptySides)
{
    CFolderDiff diff;
    diff.Compare(Keys{}, Keys{"x", "y"});
    EXPECT_EQ(diff.Added(), (Keys{"x", "y"}));
    EXPECT_TRUE(diff.Removed().empty());
    diff.Compare(Keys{"x", "y"}, Keys{});
    EXPECT_TRUE(diff.Added().empty());
    EXPECT_EQ(diff.Removed(), (Keys{"x", "y"}));
}

TEST(FolderDiff, KeysDifferingOnlyInCaseAreDifferentItems)
{
    // A rename that changes only the case shows as one item going and one coming.
    CFolderDiff diff;
    diff.Compare(Keys{"C:\\Desktop\\Readme.txt"}, Keys{"C:\\Desktop\\README.txt"});
    EXPECT_EQ(diff.Added(), (Keys{"C:\\Desktop\\README.txt"}));
    EXPECT_EQ(diff.Removed(), (Keys{"C:\\Desktop\\Readme.txt"}));
}

TEST(FolderDiff, DuplicateKeysAreReportedOnce)
{
    CFolderDiff diff;
    diff.Compare(Keys{"old", "old"}, Keys{"new", "new", "kept"});
    EXPECT_EQ(diff.Added(), (Keys{"new", "kept"}));
    EXPECT_EQ(diff.Removed(), (Keys{"old"}));
}

TEST(FolderDiff, ACompareForgetsThePreviousOne)
{
    CFolderDiff diff;
    diff.Compare(Keys{"a"}, Keys{"b"});
    diff.Compare(Keys{"b"}, Keys{"b"});
    EXPECT_TRUE(diff.Empty());
}

TEST(FolderDiff, ThousandsOfKeys)
{
    Keys shown, current;
    for (int i = 0; i < 3000; ++i)
        shown.push_back("file" + std::to_string(i));
    current = shown;
    current.erase(current.begin() + 1500);
    for (int i = 0; i < 100; ++i)
        current.push_back("drop" + std::to_string(i));
    CFolderDiff diff;
    diff.Compare(shown, current);
    ASSERT_EQ(diff.Added().size(), 100u);
    EXPECT_EQ(diff.Added().front(), "drop0");
    EXPECT_EQ(diff.Removed(), (Keys{"file1500"}));
}
