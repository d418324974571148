#include "hook/HookGuard.h"

#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

TEST(HookGuard, AThrowIsLoggedAndAnsweredWithTheFallbackAndNothingElseIs)
{
    TempDir dir;
    LogResetState();
    LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    EXPECT_EQ(3,
              CallGuarded(
                  "the test procedure", [] { return 3; }, [] { return 7; }));
    EXPECT_FALSE(FileExists(dir.File("ErrorLog.txt")));

    const int answer = CallGuarded(
        "the test procedure", []() -> int { throw std::runtime_error("broken"); }, [] { return 7; });
    EXPECT_EQ(7, answer);
    bool fellBack = false;
    CallGuarded(
        "the test procedure", [] { throw 1; }, [&] { fellBack = true; });
    EXPECT_TRUE(fellBack);
    const std::string log = ReadBytes(dir.File("ErrorLog.txt"));
    EXPECT_NE(std::string::npos, log.find("WARNING: Unexpected failure in the test procedure")) << log;
    LogResetState();
}
