// The window-free core of automated deletion: the macro replacement.
#include "autodelete/FolderMacros.h"

#include <gtest/gtest.h>

#include <string>

TEST(ReplaceAllTest, ReplacesEveryOccurrenceAndNeverLooksIntoWhatItInserted)
{
    std::string text = "%WINDOWS%\\a;%WINDOWS%\\b";
    ReplaceAll(text, "%WINDOWS%", "C:\\WINDOWS");
    EXPECT_EQ("C:\\WINDOWS\\a;C:\\WINDOWS\\b", text);
    text = "[%X%]";
    ReplaceAll(text, "%X%", "%X%%X%");
    EXPECT_EQ("[%X%%X%]", text);
    text = "%windows%\\TEMP";
    ReplaceAll(text, "%WINDOWS%", "C:\\WINDOWS");
    EXPECT_EQ("%windows%\\TEMP", text);
    ReplaceAll(text, "", "x");
    EXPECT_EQ("%windows%\\TEMP", text);
}

TEST(ExpandFolderMacrosTest, AsksOnlyForTheMacrosPresentInTableOrderAndTellsAnEmptyOne)
{
    std::vector<int> asked;
    auto values = [&](int macro) -> std::string {
        asked.push_back(macro);
        switch (macro) {
        case kMacroWindows: return "C:\\WINDOWS";
        case kMacroWindowsDrive: return "C:";
        default: return "";
        }
    };
    std::string text = "%WINDOWS_DRIVE%\\TEMP|%WINDOWS%\\TEMP";
    EXPECT_TRUE(ExpandFolderMacrosWith(text, values));
    EXPECT_EQ("C:\\TEMP|C:\\WINDOWS\\TEMP", text);
    EXPECT_EQ((std::vector<int>{kMacroWindows, kMacroWindowsDrive}), asked);

    text = "%WINDOWS_TEMP%";
    EXPECT_FALSE(ExpandFolderMacrosWith(text, values));
    EXPECT_EQ("", text);
    text = "%IE_TEMP%\\Content.IE5";
    EXPECT_FALSE(ExpandFolderMacrosWith(text, values));
    EXPECT_EQ("\\Content.IE5", text);
}
