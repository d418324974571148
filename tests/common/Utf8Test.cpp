#include "common/ListFields.h"
#include "common/Utf8.h"
#include "common/Wildcard.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// U+1F600, four bytes in UTF-8 and a surrogate pair in UTF-16.
const char kEmoji[] = "\xF0\x9F\x98\x80";

std::u32string Decoded(const std::string& text)
{
    std::u32string out;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end)
        out += DecodeUtf8(&p, end);
    return out;
}

TEST(Utf8Test, CharactersBeyondTheBasicPlaneRoundTripThroughWideText)
{
    const std::string text = std::string("a") + kEmoji + "\xC3\xA9";  // a, U+1F600, é
    const std::wstring wide = Utf8ToWide(text.c_str());
    if (sizeof(wchar_t) == 2) {
        ASSERT_EQ(wide.size(), 4u);
        EXPECT_EQ(static_cast<unsigned>(wide[1]), 0xD83Du);
        EXPECT_EQ(static_cast<unsigned>(wide[2]), 0xDE00u);
    } else {
        ASSERT_EQ(wide.size(), 3u);
        EXPECT_EQ(static_cast<unsigned>(wide[1]), 0x1F600u);
    }
    EXPECT_EQ(WideToUtf8(wide.c_str()), text);
    // A high surrogate without its low half becomes U+FFFD, the rest stays.
    const wchar_t lone[] = {L'x', static_cast<wchar_t>(0xD83D), L'y', 0};
    EXPECT_EQ(WideToUtf8(lone), "x\xEF\xBF\xBDy");
}

TEST(Utf8Test, InvalidBytesStayDistinctAndComeBackUnchanged)
{
    // A cut sequence, a stray continuation byte, an overlong '/', an encoded
    // surrogate and a 1252 "é" are each read byte by byte, as themselves.
    for (const std::string bad : {"\xE2\x82", "\x80", "\xC0\xAF", "\xED\xA0\x80", "caf\xE9"}) {
        EXPECT_FALSE(IsValidUtf8(bad.data(), bad.size())) << bad;
        std::string back;
        for (char32_t c : Decoded(bad))
            AppendUtf8(back, c);
        EXPECT_EQ(back, bad);
        EXPECT_EQ(FoldUtf8(bad).size(), bad.size());
    }
    EXPECT_EQ(Decoded("\xE9"), std::u32string(1, 0xDCE9));
    EXPECT_FALSE(EqualsNoCase("\xE9", "\xE8"));
    EXPECT_FALSE(EqualsNoCase("\xE9", "\xC3\xA9"));  // the lone byte is not the letter
    EXPECT_TRUE(IsValidUtf8(kEmoji, 4));
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80", 4));  // above U+10FFFF
}

TEST(Utf8Test, CopiesAreCutOnACharacterBoundary)
{
    char out[5];
    EXPECT_FALSE(CopyUtf8(out, sizeof out, "a\xC3\xA9\xE2\x82\xAC"));  // a é €: 6 bytes into 4
    EXPECT_STREQ(out, "a\xC3\xA9");
    EXPECT_TRUE(CopyUtf8(out, sizeof out, "a\xC3\xA9"));
    EXPECT_STREQ(out, "a\xC3\xA9");
    EXPECT_EQ(Utf8PrefixLength(kEmoji, 4, 3), 0u);
    wchar_t wide[3];
    const std::string text = std::string("ab") + kEmoji;
    EXPECT_FALSE(CopyUtf8ToWide(wide, 3, text.c_str()));
    EXPECT_EQ(std::wstring(wide), L"ab");  // never half a pair
}

// A list's text field holds 260 characters in any script, not 260 bytes.
TEST(Utf8Test, ListFieldsAreLimitedInCharacters)
{
    std::string cyrillic;
    for (int i = 0; i < 260; i++)
        cyrillic += "\xD0\x96";  // Ж
    EXPECT_EQ(nullptr, ListFieldProblem(cyrillic));
    EXPECT_NE(nullptr, ListFieldProblem(cyrillic + "a"));
    EXPECT_NE(nullptr, ListFieldProblem("a\tb"));
}

TEST(Utf8Test, CaseIsIgnoredInEveryScript)
{
    EXPECT_TRUE(EqualsNoCase("\xCE\xB1\xCE\xB2\xCE\xB3", "\xCE\x91\xCE\x92\xCE\x93"));  // αβγ ΑΒΓ
    // Final sigma, sigma and capital sigma are one letter.
    EXPECT_TRUE(EqualsNoCase("\xCF\x82", "\xCF\x83"));
    EXPECT_TRUE(EqualsNoCase("\xCF\x82", "\xCE\xA3"));
    EXPECT_TRUE(EqualsNoCase("\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD1\x91",
                             "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2 \xD0\x81"));  // привет ё
    EXPECT_TRUE(EqualsNoCase("\xC3\xA9t\xC3\xA9 \xC3\xBF", "\xC3\x89T\xC3\x89 \xC5\xB8"));  // été ÿ, ÉTÉ Ÿ
    EXPECT_TRUE(EqualsNoCase("\xEF\xBD\x81", "\xEF\xBC\xA1"));  // fullwidth a, A
    EXPECT_FALSE(EqualsNoCase("\xC3\x9F", "SS"));  // ß is no pair of letters
    EXPECT_FALSE(EqualsNoCase("\xC3\xA9", "e"));
    EXPECT_LT(CompareNoCase("\xC3\xA9tA", "\xC3\x89TZ"), 0);
    EXPECT_LT(CompareNoCase("apple", "Banana"), 0);
    EXPECT_GT(CompareNoCase("\xD0\xB1", "\xD0\x90"), 0);  // б after А
    EXPECT_TRUE(StartsWithNoCase("\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1", "\xCF\x83\xCE\x9F"));  // Σοφία, σΟ
}

TEST(Utf8Test, WildcardsMatchCharactersNotBytes)
{
    EXPECT_TRUE(WildcardMatch("??.tmp", "\xE6\x97\xA5\xE6\x9C\xAC.tmp"));  // 日本.tmp
    EXPECT_FALSE(WildcardMatch("??.tmp", "a.tmp"));
    EXPECT_FALSE(WildcardMatch("?.tmp", "\xE6\x97\xA5\xE6\x9C\xAC.tmp"));
    EXPECT_TRUE(WildcardMatch("*\xC3\x89*.TXT", "caf\xC3\xA9 menu.txt"));  // *É*.TXT
    EXPECT_TRUE(WildcardMatch("a*b*c", "aXbYbZc"));
    EXPECT_TRUE(WildcardMatch("***.log", ".log"));
    EXPECT_FALSE(WildcardMatch("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(WildcardMatch("*?", kEmoji));
    EXPECT_FALSE(WildcardMatch("??", kEmoji));
}

TEST(Utf8Test, LegacyTextIsReadInTheSystemsCodePage)
{
    // The test prefixes and the native build both stand for code page 1252.
    EXPECT_EQ(LegacyToUtf8("caf\xE9 \xDF \x80", 8), "caf\xC3\xA9 \xC3\x9F \xE2\x82\xAC");
    EXPECT_EQ(LegacyToUtf8("plain", 5), "plain");
}

TEST(Utf8Test, FilesAreOpenedAndRemovedByTheirUtf8Names)
{
    TempDir dir;
    // Grüße Ελλάδα 日本.txt
    const std::string path = dir.File(
        "Gr\xC3\xBC\xC3\237e \xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 \xE6\x97\xA5\xE6\x9C\xAC.txt");
    FILE* f = OpenFileUtf8(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("x", f);
    fclose(f);
#ifdef _WIN32
    // Read back by its wide name, which no code page stands between.
    const std::wstring wide = Utf8ToWide(dir.Path().c_str()) +
        L"\\Gr\u00FC\u00DFe \u0395\u03BB\u03BB\u03AC\u03B4\u03B1 \u65E5\u672C.txt";
    FILE* back = _wfopen(wide.c_str(), L"rb");
#else
    FILE* back = fopen(path.c_str(), "rb");
#endif
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(fgetc(back), 'x');
    fclose(back);
    EXPECT_EQ(RemoveFileUtf8(path.c_str()), 0);
    EXPECT_FALSE(FileExists(path));
}

}  // namespace
