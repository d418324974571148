// Every char string of the program is UTF-8 (the manifest sets the process's
// code page to it). Code in another program's process cannot rely on that
// process's code page: it calls the wide functions and converts at its edges
// with these helpers, which depend on no code page, no locale and no Win32
// call, so that both the program, the two libraries and the native tests get
// the same answers.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// The next code point of [*p, end), moving *p past it. A byte that does not
// start a well-formed sequence (a stray continuation byte, an overlong form,
// a surrogate, a cut sequence) is taken alone and answered as 0xDC00 + byte,
// so that two different invalid texts never read alike and nothing is lost.
char32_t DecodeUtf8(const char** p, const char* end);

// Appends the UTF-8 form of code point c (0xDC80 to 0xDCFF, as DecodeUtf8
// answers a lone byte, give that byte back).
void AppendUtf8(std::string& out, char32_t c);

// True when the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool IsValidUtf8(const char* text, size_t length);

// Wide text is UTF-16 on Windows (wchar_t of 16 bits) and UTF-32 natively.
// An unpaired surrogate becomes U+FFFD, as the system's own conversion does.
std::wstring Utf8ToWide(const char* text, size_t length);
std::wstring Utf8ToWide(const char* text);
inline std::wstring Utf8ToWide(const std::string& text)
{
    return Utf8ToWide(text.data(), text.size());
}
std::string WideToUtf8(const wchar_t* text, size_t length);
std::string WideToUtf8(const wchar_t* text);
inline std::string WideToUtf8(const std::wstring& text)
{
    return WideToUtf8(text.data(), text.size());
}

// The longest prefix of text, at most maxBytes bytes, that ends on a
// character boundary.
size_t Utf8PrefixLength(const char* text, size_t length, size_t maxBytes);

// Copies text into out, which holds outSize bytes, cut on a character
// boundary when it does not fit; always NUL-terminated when outSize > 0.
// False when it was cut.
bool CopyUtf8(char* out, size_t outSize, const char* text);

// The same into a wide buffer of outSize units (Windows: cut before a
// surrogate pair rather than through it).
bool CopyUtf8ToWide(wchar_t* out, size_t outSize, const char* text);

// The upper-case form of c the way the file system compares names without
// case: Latin (with its supplements and extensions), Greek, Cyrillic,
// Armenian, Georgian and the fullwidth Latin letters; every other code point
// is itself.
char32_t FoldCase(char32_t c);

// text with every code point folded (FoldCase), as UTF-8.
std::string FoldUtf8(const char* text, size_t length);
std::string FoldUtf8(const std::string& text);

// Equal without case, code point by code point (FoldCase).
bool EqualsNoCase(const char* a, const char* b);
bool EqualsNoCase(const std::string& a, const std::string& b);
// a starts with prefix, without case.
bool StartsWithNoCase(const std::string& a, const std::string& prefix);

// Orders without case (FoldCase), code point by code point: < 0, 0, > 0.
int CompareNoCase(const char* a, const char* b);

// Text from a file written by an earlier version in the system's code page
// for non-Unicode programs (the system's, not the process's, which is now
// UTF-8), as UTF-8. Natively that code page is taken to be 1252.
std::string LegacyToUtf8(const char* text, size_t length);

// The byte-order mark that Notepad puts at the start of a UTF-8 file.
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";
constexpr size_t kUtf8BomSize = 3;
inline bool StartsWithUtf8Bom(const char* text, size_t length)
{
    return length >= kUtf8BomSize && text[0] == '\xEF' && text[1] == '\xBB' && text[2] == '\xBF';
}

// fopen of a UTF-8 path that works in any process, whatever its code page
// (on Windows through the wide call).
FILE* OpenFileUtf8(const char* path, const char* mode);

// How many characters the system counts in text: UTF-16 units (a code point
// above U+FFFF counts two, a byte that starts no well-formed sequence one,
// as the conversion makes it U+FFFD).
size_t Utf16Length(const char* text, size_t length);
size_t Utf16Length(const std::string& text);
// The longest prefix of text, in bytes, that ends on a character boundary
// and holds at most maxUnits UTF-16 units.
size_t Utf16PrefixLength(const char* text, size_t length, size_t maxUnits);

// remove() of a UTF-8 path that works in any process (on Windows through the
// wide call); 0 on success, as remove() answers.
int RemoveFileUtf8(const char* path);
