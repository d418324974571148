#include "framework/FileVersion.h"

#include <cstdio>
#include <vector>

namespace {

struct Translation {
    WORD language;
    WORD codePage;
};

std::string StringValue(std::vector<char>& record, const char* name)
{
    Translation* translations = nullptr;
    UINT size = 0;
    char query[64] = "";
    if (VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &size) &&
        size >= sizeof(Translation))
        snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translations[0].language,
                 translations[0].codePage, name);
    else
        snprintf(query, sizeof query, "\\StringFileInfo\\040904B0\\%s", name);
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(record.data(), query, reinterpret_cast<void**>(&value), &length) || !value || !length)
        return {};
    // The length counts the terminating zero, when the record has one.
    std::string text(value, length);
    const size_t end = text.find('\0');
    return end == std::string::npos ? text : text.substr(0, end);
}

std::string FixedVersion(std::vector<char>& record)
{
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    if (!VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &size) || !fixed ||
        size < sizeof *fixed || fixed->dwSignature != VS_FFI_SIGNATURE)
        return {};
    char text[48] = "";
    snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", static_cast<unsigned long>(HIWORD(fixed->dwProductVersionMS)),
             static_cast<unsigned long>(LOWORD(fixed->dwProductVersionMS)),
             static_cast<unsigned long>(HIWORD(fixed->dwProductVersionLS)),
             static_cast<unsigned long>(LOWORD(fixed->dwProductVersionLS)));
    return text;
}

}  // namespace

std::string ReadProductVersion(const std::string& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (!size)
        return {};
    std::vector<char> record(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, record.data()))
        return {};
    std::string version = StringValue(record, "ProductVersion");
    return version.empty() ? FixedVersion(record) : version;
}

std::string ModuleFilePath(HMODULE module)
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
        if (!length)
            return {};
        // A full buffer may hold a cut path: try again with a larger one.
        if (length < path.size())
            return std::string(path.data(), length);
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}
