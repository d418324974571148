#include "hook/LabelIndex.h"

#include <gtest/gtest.h>

TEST(LabelIndex, FirstIconOfALabelWins)
{
    CLabelIndex index;
    index.Add("Readme", 3);
    index.Add("Notes", 1);
    index.Add("Readme", 5);
    index.Add("Readme", 2);
    EXPECT_EQ(2, index.Find("Readme"));
    EXPECT_EQ(1, index.Find("Notes"));
}

TEST(LabelIndex, LabelsAreCaseSensitive)
{
    CLabelIndex index;
    index.Add("Readme", 0);
    EXPECT_EQ(-1, index.Find("README"));
    EXPECT_EQ(-1, index.Find(""));
    EXPECT_EQ(-1, index.Find(nullptr));
    // Labels of the same length that differ only outside ASCII, or only in
    // the case of another script, are different labels.
    index.Add("\xE6\x97\xA5\xE6\x9C\xAC.txt", 1);  // 日本.txt
    index.Add("\xE4\xB8\xAD\xE5\x9B\xBD.txt", 2);  // 中国.txt
    index.Add("\xCE\xB1\xCE\xBB", 3);  // αλ
    EXPECT_EQ(1, index.Find("\xE6\x97\xA5\xE6\x9C\xAC.txt"));
    EXPECT_EQ(2, index.Find("\xE4\xB8\xAD\xE5\x9B\xBD.txt"));
    EXPECT_EQ(-1, index.Find("\xCE\x91\xCE\x9B"));  // ΑΛ
    index.Clear();
    EXPECT_EQ(-1, index.Find("Readme"));
}
