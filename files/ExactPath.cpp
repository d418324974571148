#include "files/ExactPath.h"

#include "common/Utf8.h"

namespace {

// A part of a path that the system's own path rules would rewrite.
bool HasRelativePart(const std::string& path)
{
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "." || part == "..")
            return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

std::wstring ExactPath(const std::string& path)
{
    if (path.compare(0, 4, "\\\\?\\") == 0 || path.find('/') != std::string::npos || HasRelativePart(path))
        return Utf8ToWide(path);
    const bool fromDrive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
    if (fromDrive)
        return L"\\\\?\\" + Utf8ToWide(path);
    if (path.compare(0, 2, "\\\\") == 0 && path.compare(0, 4, "\\\\.\\") != 0)
        return L"\\\\?\\UNC\\" + Utf8ToWide(path.substr(2));
    return Utf8ToWide(path);
}

bool HasLoneSurrogate(const wchar_t* name)
{
    for (const wchar_t* p = name; *p; ++p) {
        if (*p >= 0xD800 && *p <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF)
            ++p;
        else if (*p >= 0xD800 && *p <= 0xDFFF)
            return true;
    }
    return false;
}
