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
    index.Clear();
    EXPECT_EQ(-1, index.Find("Readme"));
}
