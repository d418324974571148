#pragma once

#include "common/Log.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <string>

// A test with a folder of its own whose "ErrorLog.txt" takes the log, so that
// what the code under test logged can be read back.
class LoggedFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        LogResetState();
        LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
    }
    void TearDown() override { LogResetState(); }
    std::string ErrorLog() const { return ReadBytes(dir.File("ErrorLog.txt")); }

    TempDir dir;
};
