#include <gtest/gtest.h>

#include "help/HelpPopupText.h"

namespace {

const char kDefines[] = "/* ids */\n"
                        "#define IDH_OK 0x8067040E\n"
                        "#define IDH_EXIT 2154234896\n"
                        "#define IDH_BAD -5\n"
                        "#define IDH_HUGE 0x1FFFFFFFF\n";

TEST(HelpPopupText, NamesTakeTheirIdsFromTheDefinesInHexOrDecimal)
{
    HelpPopupText popups;
    EXPECT_EQ(popups.Parse(".topic IDH_OK\nCloses the page.\n\n.topic IDH_EXIT\nEnds Dervane.\n", kDefines), 2);
    ASSERT_NE(popups.Find(0x8067040EUL), nullptr);
    EXPECT_EQ(*popups.Find(0x8067040EUL), "Closes the page.");
    ASSERT_NE(popups.Find(2154234896UL), nullptr);
    EXPECT_EQ(*popups.Find(2154234896UL), "Ends Dervane.");
    EXPECT_EQ(popups.Find(0x80670410UL - 1), nullptr);
}

TEST(HelpPopupText, LinesOfOneTextAreJoinedAndABlankLineOrTheNextTopicEndsIt)
{
    HelpPopupText popups;
    popups.Parse(".topic 7\r\nFirst line\r\n  second line  \r\n\r\nstray text\r\n.topic 8\nEight\n.topic 9\nNine", "");
    ASSERT_NE(popups.Find(7), nullptr);
    EXPECT_EQ(*popups.Find(7), "First line second line");
    EXPECT_EQ(*popups.Find(8), "Eight");
    EXPECT_EQ(*popups.Find(9), "Nine");
    EXPECT_EQ(popups.Count(), 3u);
}

TEST(HelpPopupText, SkipsWhatItCannotPlace)
{
    HelpPopupText popups;
    const int found = popups.Parse("text before any topic\n"
                                   ".topic\nno name\n\n"
                                   ".topic IDH_UNKNOWN\nno define\n\n"
                                   ".topic IDH_BAD\nnegative id\n\n"
                                   ".topic IDH_HUGE\nid over 32 bits\n\n"
                                   ".topics 12\nnot a topic line\n\n"
                                   ".topic 12abc\nnot a number\n\n"
                                   ".topic 13\n\n"
                                   ".topic IDH_OK\nkept\n",
                                   kDefines);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(popups.Find(12), nullptr);
    EXPECT_EQ(popups.Find(13), nullptr);
    ASSERT_NE(popups.Find(0x8067040EUL), nullptr);
    EXPECT_EQ(*popups.Find(0x8067040EUL), "kept");
}

TEST(HelpPopupText, ALaterTextForTheSameIdReplacesTheEarlierOne)
{
    HelpPopupText popups;
    popups.Parse(".topic IDH_OK\nold\n\n.topic 0x8067040E\nnew\n", kDefines);
    EXPECT_EQ(popups.Count(), 1u);
    EXPECT_EQ(*popups.Find(0x8067040EUL), "new");
}

TEST(HelpPopupText, AnOverlongTextIsCutAndAReparseForgetsTheOldTexts)
{
    HelpPopupText popups;
    std::string topics = ".topic 5\n";
    for (int i = 0; i < 1000; ++i)
        topics += "0123456789\n";
    popups.Parse(topics, "");
    ASSERT_NE(popups.Find(5), nullptr);
    EXPECT_EQ(popups.Find(5)->size(), HelpPopupText::kMaxText);

    EXPECT_EQ(popups.Parse(".topic 6\nsix\n", ""), 1);
    EXPECT_EQ(popups.Find(5), nullptr);
}

}  // namespace
