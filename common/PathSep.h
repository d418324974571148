#pragma once

// The one character that joins a folder and a file name. The Windows build
// writes "folder\name" as every Windows path is written; the native build of
// the window-free core runs its sanitizer tests on Linux, where only '/' names
// a file inside a folder, so the same code there joins with '/'.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif
