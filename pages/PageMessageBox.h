// How the Icons page and its dialog show their message boxes: through a
// function the tests can replace, MessageBoxA unless told otherwise.
#pragma once

#include <windows.h>

#include <string>

using MessageBoxFn = int (*)(HWND owner, const char* text, const char* caption, UINT type);

inline int SystemMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return MessageBoxA(owner, text, caption, type);
}

// A list file that could not be written when the user applied a change: the
// change stays and is written at the next save or at exit; the log says why.
inline void TellListNotWritten(HWND owner, MessageBoxFn messageBox, const char* fileName)
{
    const std::string text = std::string("Cannot write ") + fileName +
        ". Your change is kept and written at the next save or when Dervane exits; the error log says why.";
    messageBox(owner, text.c_str(), "Dervane", MB_OK | MB_ICONWARNING);
}
