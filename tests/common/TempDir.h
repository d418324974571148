#pragma once

#include <string>

// A folder of its own for one test, made empty under the system's temporary
// folder (inside the throw-away prefix under Wine) and removed with all it
// holds when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    // The folder joined with name by the platform's separator.
    std::string File(const char* name) const;

private:
    std::string path;
};

// Whole-file helpers for byte-exact checks.
void WriteBytes(const std::string& file, const std::string& bytes);
std::string ReadBytes(const std::string& file);
bool FileExists(const std::string& file);
