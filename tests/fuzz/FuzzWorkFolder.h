// The files of one fuzz target: a folder of the process's own under /tmp,
// removed with everything in it at exit, where each input is written as the
// file the reader under test opens.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

class FuzzWorkFolder {
public:
    // The folder is named /tmp/fuzz-<tag>-XXXXXX.
    explicit FuzzWorkFolder(const char* tag)
    {
        std::string pattern = std::string("/tmp/fuzz-") + tag + "-XXXXXX";
        if (!mkdtemp(&pattern[0]))
            abort();
        m_path = pattern;
    }
    ~FuzzWorkFolder()
    {
        if (DIR* dir = opendir(m_path.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != "..")
                    remove(File(name.c_str()).c_str());
            }
            closedir(dir);
        }
        rmdir(m_path.c_str());
    }
    FuzzWorkFolder(const FuzzWorkFolder&) = delete;
    FuzzWorkFolder& operator=(const FuzzWorkFolder&) = delete;

    std::string File(const char* name) const { return m_path + "/" + name; }

    // Writes the input as the file name; answers its path.
    std::string WriteInput(const char* name, const uint8_t* data, size_t size) const
    {
        const std::string path = File(name);
        FILE* f = fopen(path.c_str(), "wb");
        if (!f)
            abort();
        if (size > 0 && fwrite(data, 1, size, f) != size)
            abort();
        fclose(f);
        return path;
    }

private:
    std::string m_path;
};

inline bool FuzzFileExists(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (f)
        fclose(f);
    return f != nullptr;
}

// The work folder of this target (one a process), made on first use.
inline const FuzzWorkFolder& FuzzWork(const char* tag)
{
    static const FuzzWorkFolder folder(tag);
    return folder;
}
