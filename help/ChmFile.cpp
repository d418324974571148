#include "help/ChmFile.h"

#include <windows.h>
#include <objbase.h>

#include <vector>

#include "framework/ScopedHandles.h"

// The storage object of help files. The system's headers do not declare it;
// these are its methods in their order. It must not sit in an unnamed
// namespace: GCC takes an abstract class that no code of the program can
// derive from as one of which no object exists, and drops calls through it.
const CLSID kClsidItStorage = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kIidItStorage = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

struct IITStorage : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR* name, IStorage* priority, DWORD mode, SNB exclude,
                                                     DWORD reserved, IStorage** storage) = 0;
};

namespace {

std::wstring Wide(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

// The parts of a path inside the help file: folders, then the file.
std::vector<std::wstring> PathParts(const std::string& inner)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= inner.size()) {
        const size_t slash = inner.find_first_of("/\\", start);
        const size_t end = slash == std::string::npos ? inner.size() : slash;
        if (end > start)
            parts.push_back(Wide(inner.substr(start, end - start)));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return parts;
}

int ReadStream(IStream* stream, std::string& contents)
{
    char buffer[4096];
    for (;;) {
        ULONG got = 0;
        const HRESULT hr = stream->Read(buffer, sizeof buffer, &got);
        if (FAILED(hr))
            return 0;
        contents.append(buffer, got);
        if (hr == S_FALSE || got == 0)
            return 1;
    }
}

}  // namespace

int ReadChmFile(const std::string& chmPath, const std::string& inner, std::string& contents)
{
    contents.clear();
    const std::vector<std::wstring> parts = PathParts(inner);
    if (chmPath.empty() || parts.empty())
        return 0;
    ScopedComPtr<IITStorage> its;
    if (FAILED(CoCreateInstance(kClsidItStorage, nullptr, CLSCTX_INPROC_SERVER, kIidItStorage, its.PutVoid())))
        return 0;
    const DWORD mode = STGM_READ | STGM_SHARE_DENY_WRITE;
    ScopedComPtr<IStorage> folder;
    if (FAILED(its->StgOpenStorage(Wide(chmPath).c_str(), nullptr, mode, nullptr, 0, folder.Put())))
        return 0;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        ScopedComPtr<IStorage> inside;
        if (FAILED(folder->OpenStorage(parts[i].c_str(), nullptr, STGM_READ, nullptr, 0, inside.Put())))
            return 0;
        folder = std::move(inside);
    }
    ScopedComPtr<IStream> stream;
    if (FAILED(folder->OpenStream(parts.back().c_str(), nullptr, STGM_READ, 0, stream.Put())))
        return 0;
    if (!ReadStream(stream.Get(), contents)) {
        contents.clear();
        return 0;
    }
    return 1;
}
