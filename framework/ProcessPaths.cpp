#include "framework/ProcessPaths.h"

#include <windows.h>

#include <vector>

std::string CurrentFolder()
{
    // Asked for the size it needs first; asked again if the folder changed
    // in between and grew.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD needed = GetCurrentDirectoryA(0, nullptr);
        if (needed == 0)
            return std::string();
        std::vector<char> folder(needed, '\0');
        const DWORD length = GetCurrentDirectoryA(needed, folder.data());
        if (length > 0 && length < needed)
            return std::string(folder.data(), length);
    }
    return std::string();
}
