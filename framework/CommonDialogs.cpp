#include "framework/CommonDialogs.h"

#include "common/Utf8.h"
#include "framework/ErrorReport.h"
#include "framework/ScopedHandles.h"

#include <shlobj.h>

namespace {

// The library, loaded once; freed when the program's statics go.
HMODULE Library()
{
    static ScopedModule library(LoadLibraryA("comdlg32.dll"));
    static bool reported = false;
    if (!library && !reported) {
        reported = true;
        ReportLastError("LoadLibraryA(comdlg32.dll)");
    }
    return library.Get();
}

template <typename F> F Function(const char* name)
{
    HMODULE library = Library();
    if (!library)
        return nullptr;
    FARPROC address = GetProcAddress(library, name);
    if (!address)
        ReportLastError(name);
    return reinterpret_cast<F>(reinterpret_cast<void*>(address));
}

}  // namespace

bool ShowChooseColour(CHOOSECOLORA& choose)
{
    using ChooseColorFn = BOOL(WINAPI*)(CHOOSECOLORA*);
    static const ChooseColorFn chooseColor = Function<ChooseColorFn>("ChooseColorA");
    return chooseColor && chooseColor(&choose);
}

bool ShowOpenFile(OPENFILENAMEA& open)
{
    using OpenFileFn = BOOL(WINAPI*)(OPENFILENAMEA*);
    static const OpenFileFn openFile = Function<OpenFileFn>("GetOpenFileNameA");
    return openFile && openFile(&open);
}

bool BrowseForFolder(HWND owner, const char* title, std::string& path)
{
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen)
        return false;
    // The wide call: the A call fills MAX_PATH bytes, too few for a path in UTF-8.
    wchar_t found[MAX_PATH] = L"";
    path = SHGetPathFromIDListW(chosen, found) ? WideToUtf8(found) : "";
    CoTaskMemFree(chosen);
    return true;
}

DWORD CommonDialogError()
{
    using ErrorFn = DWORD(WINAPI*)();
    static const ErrorFn error = Function<ErrorFn>("CommDlgExtendedError");
    return error ? error() : 0;
}
