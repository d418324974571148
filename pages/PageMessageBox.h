// How the Icons page and its dialog show their message boxes: through a
// function the tests can replace, MessageBoxA unless told otherwise.
#pragma once

#include <windows.h>

using MessageBoxFn = int (*)(HWND owner, const char* text, const char* caption, UINT type);

inline int SystemMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return MessageBoxA(owner, text, caption, type);
}
