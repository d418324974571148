#include "common/Wildcard.h"

#include <gtest/gtest.h>

#include <string>

TEST(WildcardMatch, HideRuleExamples)
{
    EXPECT_TRUE(WildcardMatch("*.TXT", "readme.txt"));
    EXPECT_TRUE(WildcardMatch("READ?E.TXT", "readme.txt"));
    EXPECT_FALSE(WildcardMatch("README", "readme.txt"));
    EXPECT_TRUE(WildcardMatch("NOTEPAD.EXE", "notepad.exe"));
}

TEST(WildcardMatch, WholeTextOnly)
{
    EXPECT_FALSE(WildcardMatch("READ", "README"));
    EXPECT_FALSE(WildcardMatch("ME", "README"));
    EXPECT_TRUE(WildcardMatch("*ME", "README"));
    EXPECT_FALSE(WildcardMatch("*ME", "READMEX"));
    EXPECT_TRUE(WildcardMatch("R*", "R"));
}

TEST(WildcardMatch, StarAndQuestionMark)
{
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_TRUE(WildcardMatch("**", "abc"));
    EXPECT_TRUE(WildcardMatch("", ""));
    EXPECT_FALSE(WildcardMatch("", "a"));
    EXPECT_FALSE(WildcardMatch("?", ""));
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXXbYYc"));
    EXPECT_TRUE(WildcardMatch("a*b*c", "abbbc"));
    EXPECT_FALSE(WildcardMatch("a*b*c", "abcb"));
    EXPECT_TRUE(WildcardMatch("*a?c", "xxabcaxc"));
    EXPECT_TRUE(WildcardMatch("??*", "ab"));
    EXPECT_FALSE(WildcardMatch("??*", "a"));
    // A later part that fails must let the last star take more characters.
    EXPECT_TRUE(WildcardMatch("*ab", "aab"));
    EXPECT_TRUE(WildcardMatch("*aab", "aaab"));
}

TEST(WildcardMatch, CaseInsensitiveBothWays)
{
    EXPECT_TRUE(WildcardMatch("my computer", "MY COMPUTER"));
    EXPECT_TRUE(WildcardMatch("My*", "mY cOMPUTER"));
}

TEST(WildcardMatch, HighBitCharactersDoNotMisbehave)
{
    const char text[] = {'\xe9', 't', '\xe9', '\0'};
    EXPECT_TRUE(WildcardMatch("?T?", text));
    EXPECT_FALSE(WildcardMatch(nullptr, "a"));
    EXPECT_FALSE(WildcardMatch("a", nullptr));
}

TEST(WildcardMatch, ManyStarsAnswerAtOnce)
{
    const std::string text(120, 'a');
    EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*b", text.c_str()));
    EXPECT_TRUE(WildcardMatch("*a*a*a*a*a*a*", text.c_str()));
    const std::string longPattern(2000, '*');
    EXPECT_TRUE(WildcardMatch((longPattern + "a").c_str(), text.c_str()));
}
