#include "tests/harness/TextLines.h"

#include <cstdio>

std::vector<std::string> ReadTextLines(const std::string& path)
{
    std::vector<std::string> lines;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return lines;
    std::string text;
    int c;
    while ((c = fgetc(f)) != EOF) {
        if (c == '\n') {
            if (!text.empty() && text.back() == '\r')
                text.pop_back();
            lines.push_back(text);
            text.clear();
        } else {
            text.push_back(static_cast<char>(c));
        }
    }
    if (!text.empty())
        lines.push_back(text);
    fclose(f);
    return lines;
}

bool ParseDesktopArgument(const char* argument, std::string* name, int* width, int* height)
{
    char desktop[64] = {};
    int w = 0, h = 0;
    if (!argument || std::sscanf(argument, "%63[^,],%dx%d", desktop, &w, &h) != 3 || w < 320 || h < 200 ||
        w > 8192 || h > 8192)
        return false;
    *name = desktop;
    *width = w;
    *height = h;
    return true;
}
