#include "common/FileNameChecks.h"

#include <gtest/gtest.h>

#include <string>

TEST(FileNameChecks, PlainNamesAreTaken)
{
    for (const char* name : {"mine.dvl", "[original].dvl", "[ORIGINAL].DVL", "1024x768.dvl", "two words.dvl",
                             "a..b.dvl", "console.dvl", "com10.dvl", "lpt0.dvl", "nul_note.dvl", "caf\xe9.dvl"}) {
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    }
    EXPECT_TRUE(IsPlainFileName(std::string(255, 'n').c_str()));
}

TEST(FileNameChecks, NamesReachingOutsideTheFolderAreRefused)
{
    for (const char* name : {"", ".", "..", "..\\escape.dvl", "sub\\x.dvl", "sub/x.dvl", "/x.dvl", "C:x.dvl",
                             "c:\\x.dvl", "a:b.dvl", "x.dvl:stream", "\\\\server\\share\\x.dvl", "tab\there.dvl"}) {
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    }
    EXPECT_FALSE(IsPlainFileName(nullptr));
    EXPECT_FALSE(IsPlainFileName(std::string(256, 'n').c_str())) << "does not fit a file name";
    EXPECT_FALSE(IsPlainFileName("short.dvl", 9));
    EXPECT_TRUE(IsPlainFileName("short.dvl", 10));
    // The limit counts UTF-16 units: 255 CJK characters (765 bytes) fit, 256 do not.
    std::string cjk;
    for (int i = 0; i < 255; ++i)
        cjk += "\xE6\x97\xA5";
    EXPECT_TRUE(IsPlainFileName(cjk.c_str()));
    EXPECT_FALSE(IsPlainFileName((cjk + "\xE6\x97\xA5").c_str()));
    EXPECT_FALSE(IsPlainFileName("\xF0\x9F\x98\x80", 2)) << "a character beyond U+FFFF takes two units";
}

TEST(FileNameChecks, DeviceNamesAreRefusedWithAnyExtension)
{
    for (const char* name :
         {"CON", "con.dvl", "Nul.dvl", "PRN", "aux.txt.dvl", "COM1.dvl", "lpt9", "CON .dvl", "conin$", "CONOUT$.dvl"}) {
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    }
}

TEST(FileNameChecks, BaseNameDropsFolderAndExtension)
{
    char out[32];
    BaseNameWithoutExtension("C:\\Program\\Shortcuts\\Trip.dvl", out, sizeof out);
    EXPECT_STREQ("Trip", out);
    BaseNameWithoutExtension("Trip.dvl", out, sizeof out);
    EXPECT_STREQ("Trip", out);
    BaseNameWithoutExtension("archive.tar.dvl", out, sizeof out);
    EXPECT_STREQ("archive.tar", out);
    BaseNameWithoutExtension("C:\\dotted.folder\\plain", out, sizeof out);
    EXPECT_STREQ("plain", out);
    BaseNameWithoutExtension("C:/unix/style.dvl", out, sizeof out);
    EXPECT_STREQ("style", out);
    BaseNameWithoutExtension(".dvl", out, sizeof out);
    EXPECT_STREQ("", out);
    BaseNameWithoutExtension(nullptr, out, sizeof out);
    EXPECT_STREQ("", out);
    BaseNameWithoutExtension("a-rather-long-layout-name.dvl", out, 8);
    EXPECT_STREQ("a-rathe", out) << "cut to the buffer";
}
