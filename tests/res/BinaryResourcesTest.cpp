// Every deliverable as the system reads it: the version record, and for the
// programs the manifest, parsed by the system into an activation context.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/FileVersion.h"
#include "framework/ScopedHandles.h"
#include "tests/res/PictureTestSupport.h"

namespace {

struct Deliverable {
    const char* name;
    bool program;
};

const Deliverable kDeliverables[] = {
    {"Dervane.exe", true},         {"DesktopHost.exe", true}, {"DervaneHook.dll", false},
    {"DervaneHookCBT.dll", false}, {"Resources.dll", false},  {"TrayIcons.dll", false},
};

std::string VersionValue(const std::string& path, const char* name)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> data(size);
    if (!size || !GetFileVersionInfoA(path.c_str(), 0, size, data.data()))
        return {};
    const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return {};
    return value;
}

std::string ManifestOf(const std::string& path)
{
    ScopedModule image(
        LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC found = image ? FindResourceA(image.Get(), MAKEINTRESOURCEA(1), RT_MANIFEST) : nullptr;
    HGLOBAL loaded = found ? LoadResource(image.Get(), found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return bytes ? std::string(bytes, SizeofResource(image.Get(), found)) : std::string();
}

// A setting of the program's manifest as the system's loader understands it.
std::wstring ContextSetting(const std::string& path, const wchar_t* setting)
{
    ACTCTXA request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEA(1);
    const HANDLE context = CreateActCtxA(&request);
    if (context == INVALID_HANDLE_VALUE)
        return L"(no activation context)";
    wchar_t value[64] = L"";
    SIZE_T written = 0;
    if (!QueryActCtxSettingsW(0, context, nullptr, setting, value, 64, &written))
        value[0] = 0;
    ReleaseActCtx(context);
    return value;
}

}  // namespace

TEST(Deliverables, CarryTheProductVersionAndTheProgramsTheirManifest)
{
    for (const Deliverable& d : kDeliverables) {
        const std::string path = ProgramFolder() + "\\" + d.name;
        EXPECT_EQ(VersionValue(path, "ProductName"), "Dervane") << d.name;
        EXPECT_EQ(VersionValue(path, "ProductVersion"), DERVANE_VERSION) << d.name;
        EXPECT_EQ(VersionValue(path, "FileVersion"), DERVANE_VERSION) << d.name;
        EXPECT_EQ(VersionValue(path, "OriginalFilename"), d.name) << d.name;
        EXPECT_NE(VersionValue(path, "FileDescription"), "") << d.name;
        EXPECT_EQ(ReadProductVersion(path), DERVANE_VERSION) << d.name;
        const std::string manifest = ManifestOf(path);
        if (!d.program) {
            EXPECT_EQ(manifest, "") << d.name;
            continue;
        }
        for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                                 "level=\"asInvoker\"", "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"})
            EXPECT_NE(manifest.find(part), std::string::npos) << d.name << ": " << part;
        EXPECT_EQ(ContextSetting(path, L"dpiAware"), L"true") << d.name;
    }
}
