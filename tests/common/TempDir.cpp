#include "tests/common/TempDir.h"

#include "common/PathSep.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define DERVANE_GETPID _getpid
#else
#include <unistd.h>
#define DERVANE_GETPID getpid
#endif

namespace fs = std::filesystem;

TempDir::TempDir()
{
    static int counter = 0;
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string base = "dervane-";
    for (const char* c = info ? info->name() : "test"; *c; c++)
        base += isalnum(static_cast<unsigned char>(*c)) ? *c : '_';  // "Suite/0" names a folder
    base += "-" + std::to_string(DERVANE_GETPID()) + "-";
    std::error_code ec;
    fs::path root = fs::temp_directory_path(ec);
    for (;;) {
        fs::path candidate = root / (base + std::to_string(++counter));
        if (fs::create_directory(candidate, ec)) {
            path = candidate.string();
            break;
        }
        if (ec) {
            // A folder that is not there: the test's files fail to open
            // rather than land in the current folder.
            ADD_FAILURE() << "cannot create " << candidate.string() << ": " << ec.message();
            path = (candidate / "missing").string();
            break;
        }
    }
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(path, ec);
}

std::string TempDir::File(const char* name) const
{
    return path + kPathSeparator + name;
}

void WriteBytes(const std::string& file, const std::string& bytes)
{
    FILE* f = fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr) << file;
    ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    fclose(f);
}

std::string ReadBytes(const std::string& file)
{
    std::string bytes;
    FILE* f = fopen(file.c_str(), "rb");
    if (!f)
        return bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

bool FileExists(const std::string& file)
{
    std::error_code ec;
    return fs::exists(file, ec);
}
