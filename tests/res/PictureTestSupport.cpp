#include "tests/res/PictureTestSupport.h"

#include "framework/ScopedHandles.h"

Pixels ReadBitmap(HBITMAP bitmap)
{
    Pixels p;
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info))
        return p;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -info.bmHeight;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned> bits(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    ScopedGetDC screen(nullptr);
    if (GetDIBits(screen.Get(), bitmap, 0, info.bmHeight, bits.data(), &bi, DIB_RGB_COLORS) != info.bmHeight)
        return p;
    p.width = info.bmWidth;
    p.height = info.bmHeight;
    p.rgb.reserve(bits.size());
    for (unsigned v : bits)
        p.rgb.push_back(v & 0xFFFFFF);
    return p;
}

Pixels DrawIcon(HICON icon, int size, unsigned bg)
{
    ScopedGetDC screen(nullptr);
    ScopedMemoryDC dc(CreateCompatibleDC(screen.Get()));
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = size;
    bi.bmiHeader.biHeight = -size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    ScopedBitmap target(CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !target)
        return {};
    {
        ScopedSelect select(dc.Get(), target.Get());
        ScopedBrush brush(CreateSolidBrush(RGB(bg >> 16, (bg >> 8) & 0xFF, bg & 0xFF)));
        RECT all = {0, 0, size, size};
        FillRect(dc.Get(), &all, brush.Get());
        DrawIconEx(dc.Get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    }
    return ReadBitmap(target.Get());
}

int StoredBitsPerPixel(HMODULE module, UINT id)
{
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* header = loaded ? static_cast<const BITMAPINFOHEADER*>(LockResource(loaded)) : nullptr;
    return header ? header->biBitCount : 0;
}

bool IsDisplayColour(unsigned rgb)
{
    static const unsigned colours[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                         0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                         0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (unsigned c : colours)
        if (c == rgb)
            return true;
    return false;
}

std::string TestProgramPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string ProgramFolder()
{
    std::string folder = TestProgramPath();
    for (int up = 0; up < 2; ++up) {
        const size_t slash = folder.find_last_of("\\/");
        if (slash == std::string::npos)
            return ".";
        folder.resize(slash);
    }
    return folder;
}

static BOOL CALLBACK CollectId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<unsigned>*>(ids)->push_back(
            static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

std::vector<unsigned> ResourceIds(HMODULE module, LPCSTR type)
{
    std::vector<unsigned> ids;
    EnumResourceNamesA(module, type, CollectId, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}
