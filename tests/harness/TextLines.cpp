#include "tests/harness/TextLines.h"

#include <cstdio>

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    bytes->clear();
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes->append(buffer, got);
    fclose(f);
    return true;
}

std::string ReadFileBytes(const std::string& path)
{
    std::string bytes;
    ReadWholeFile(path, &bytes);
    return bytes;
}

std::vector<std::string> ReadTextLines(const std::string& path)
{
    std::vector<std::string> lines;
    const std::string text = ReadFileBytes(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const bool complete = end != std::string::npos;
        if (!complete)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (complete && !line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool ParseDesktopArgument(const char* argument, std::string* name, int* width, int* height)
{
    char desktop[64] = {};
    int w = 0, h = 0;
    if (!argument || std::sscanf(argument, "%63[^,],%dx%d", desktop, &w, &h) != 3 || w < 320 || h < 200 || w > 8192 ||
        h > 8192)
        return false;
    *name = desktop;
    *width = w;
    *height = h;
    return true;
}
