#include "common/FileNameChecks.h"

#include "common/Utf8.h"

#include <cctype>
#include <cstring>

bool IsDeviceName(const char* name)
{
    if (!name)
        return false;
    size_t length = strcspn(name, ".");
    while (length > 0 && name[length - 1] == ' ')
        --length;
    char base[8] = {};
    if (length < 3 || length > 7)
        return false;
    for (size_t i = 0; i < length; ++i)
        base[i] = static_cast<char>(toupper(static_cast<unsigned char>(name[i])));
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices) {
        if (strcmp(base, device) == 0)
            return true;
    }
    const bool numbered = length == 4 && (strncmp(base, "COM", 3) == 0 || strncmp(base, "LPT", 3) == 0);
    return numbered && base[3] >= '1' && base[3] <= '9';
}

bool IsPlainFileName(const char* name, unsigned limit)
{
    if (!name || !*name)
        return false;
    // The limit counts UTF-16 units, as the file system does, not bytes: a
    // name in another script takes up to three bytes a unit.
    if (Utf16Length(name, strlen(name)) >= limit)
        return false;
    if (strpbrk(name, "\\/:") != nullptr)
        return false;
    if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
        return false;
    for (const char* p = name; *p; ++p) {
        if (static_cast<unsigned char>(*p) < 32)
            return false;
    }
    return !IsDeviceName(name);
}

void BaseNameWithoutExtension(const char* path, char* out, unsigned size)
{
    if (!out || size == 0)
        return;
    out[0] = '\0';
    if (!path)
        return;
    const char* start = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/')
            start = p + 1;
    }
    size_t length = strlen(start);
    if (const char* dot = strrchr(start, '.'))
        length = static_cast<size_t>(dot - start);
    if (length >= size)
        length = size - 1;
    memcpy(out, start, length);
    out[length] = '\0';
}
