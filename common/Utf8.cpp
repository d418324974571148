#include "common/Utf8.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr char32_t kReplacement = 0xFFFD;

inline bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// The code point of the lead byte at p if a well-formed sequence starts
// there, with its length; 0 length when not.
char32_t DecodeWellFormed(const unsigned char* p, const unsigned char* end, size_t* length)
{
    *length = 0;
    const unsigned char b = p[0];
    if (b < 0x80) {
        *length = 1;
        return b;
    }
    size_t n;
    char32_t c;
    char32_t least;
    if ((b & 0xE0) == 0xC0) {
        n = 2, c = b & 0x1F, least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        n = 3, c = b & 0x0F, least = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        n = 4, c = b & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) < n)
        return 0;
    for (size_t i = 1; i < n; ++i) {
        if (!IsContinuation(p[i]))
            return 0;
        c = (c << 6) | (p[i] & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    *length = n;
    return c;
}

// Upper case of a pair block where the capital is even and the small letter odd.
inline char32_t EvenUpper(char32_t c)
{
    return c & ~static_cast<char32_t>(1);
}
// ... where the capital is odd and the small letter even.
inline char32_t OddUpper(char32_t c)
{
    return (c & 1) ? c : c - 1;
}

char32_t FoldLatin(char32_t c)
{
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    if (c >= 0x100 && c <= 0x12F)
        return EvenUpper(c);
    if (c >= 0x132 && c <= 0x137)
        return EvenUpper(c);
    if (c >= 0x139 && c <= 0x148)
        return OddUpper(c);
    if (c >= 0x14A && c <= 0x177)
        return EvenUpper(c);
    if (c >= 0x179 && c <= 0x17E)
        return OddUpper(c);
    if (c == 0x180)
        return 0x243;
    if (c >= 0x1CD && c <= 0x1DC)
        return OddUpper(c);
    if (c >= 0x1DE && c <= 0x1EF)
        return EvenUpper(c);
    if (c >= 0x1F8 && c <= 0x21F)
        return EvenUpper(c);
    if (c >= 0x222 && c <= 0x233)
        return EvenUpper(c);
    if (c >= 0x1E00 && c <= 0x1E95)
        return EvenUpper(c);
    if (c >= 0x1EA0 && c <= 0x1EFF)
        return EvenUpper(c);
    return c;
}

char32_t FoldGreek(char32_t c)
{
    if (c >= 0x3B1 && c <= 0x3C1)
        return c - 0x20;
    if (c == 0x3C2)  // final sigma
        return 0x3A3;
    if (c >= 0x3C3 && c <= 0x3CB)
        return c - 0x20;
    if (c == 0x3AC)
        return 0x386;
    if (c >= 0x3AD && c <= 0x3AF)
        return c - 0x25;
    if (c == 0x3CC)
        return 0x38C;
    if (c == 0x3CD || c == 0x3CE)
        return c - 0x3F;
    if (c >= 0x3D8 && c <= 0x3EF)
        return EvenUpper(c);
    return c;
}

char32_t FoldCyrillic(char32_t c)
{
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    if (c >= 0x460 && c <= 0x481)
        return EvenUpper(c);
    if (c >= 0x48A && c <= 0x4BF)
        return EvenUpper(c);
    if (c == 0x4CF)
        return 0x4C0;
    if (c >= 0x4C1 && c <= 0x4CE)
        return OddUpper(c);
    if (c >= 0x4D0 && c <= 0x52F)
        return EvenUpper(c);
    return c;
}

}  // namespace

char32_t DecodeUtf8(const char** p, const char* end)
{
    const auto* at = reinterpret_cast<const unsigned char*>(*p);
    size_t length;
    const char32_t c = DecodeWellFormed(at, reinterpret_cast<const unsigned char*>(end), &length);
    if (length == 0) {
        *p += 1;
        return 0xDC00 + at[0];
    }
    *p += length;
    return c;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c >= 0xDC80 && c <= 0xDCFF) {  // a lone byte, as DecodeUtf8 read it
        out += static_cast<char>(c - 0xDC00);
        return;
    }
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsValidUtf8(const char* text, size_t length)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const auto* end = p + length;
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        size_t n;
        DecodeWellFormed(p, end, &n);
        if (n == 0)
            return false;
        p += n;
    }
    return true;
}

std::wstring Utf8ToWide(const char* text, size_t length)
{
    std::wstring out;
    out.reserve(length);
    const char* end = text + length;
    while (text < end) {
        char32_t c = DecodeUtf8(&text, end);
        if (c >= 0xD800 && c <= 0xDFFF)
            c = kReplacement;
        if constexpr (sizeof(wchar_t) == 2) {
            if (c >= 0x10000) {
                c -= 0x10000;
                out += static_cast<wchar_t>(0xD800 + (c >> 10));
                out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
                continue;
            }
        }
        out += static_cast<wchar_t>(c);
    }
    return out;
}

std::wstring Utf8ToWide(const char* text)
{
    return text ? Utf8ToWide(text, strlen(text)) : std::wstring();
}

std::string WideToUtf8(const wchar_t* text, size_t length)
{
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            c &= 0xFFFF;
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length) {
                const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF)
            c = kReplacement;
        AppendUtf8(out, c);
    }
    return out;
}

std::string WideToUtf8(const wchar_t* text)
{
    if (!text)
        return std::string();
    size_t n = 0;
    while (text[n])
        ++n;
    return WideToUtf8(text, n);
}

size_t Utf8PrefixLength(const char* text, size_t length, size_t maxBytes)
{
    if (length <= maxBytes)
        return length;
    size_t cut = maxBytes;
    // Back over continuation bytes to the lead byte of the character that
    // does not fit whole.
    while (cut > 0 && IsContinuation(static_cast<unsigned char>(text[cut])))
        --cut;
    return cut;
}

bool CopyUtf8(char* out, size_t outSize, const char* text)
{
    if (outSize == 0)
        return false;
    const size_t length = text ? strlen(text) : 0;
    const size_t n = Utf8PrefixLength(text, length, outSize - 1);
    if (n)
        memmove(out, text, n);
    out[n] = '\0';
    return n == length;
}

bool CopyUtf8ToWide(wchar_t* out, size_t outSize, const char* text)
{
    if (outSize == 0)
        return false;
    const std::wstring wide = Utf8ToWide(text);
    size_t n = wide.size() < outSize - 1 ? wide.size() : outSize - 1;
    if constexpr (sizeof(wchar_t) == 2) {
        if (n < wide.size() && n > 0 && (wide[n - 1] & 0xFC00) == 0xD800)
            --n;  // never leave half a pair
    }
    wide.copy(out, n);
    out[n] = L'\0';
    return n == wide.size();
}

char32_t FoldCase(char32_t c)
{
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? c - 0x20 : c;
    if (c < 0x370 || (c >= 0x1E00 && c <= 0x1EFF))
        return FoldLatin(c);
    if (c < 0x400)
        return FoldGreek(c);
    if (c < 0x530)
        return FoldCyrillic(c);
    if (c >= 0x561 && c <= 0x586)  // Armenian
        return c - 0x30;
    if (c >= 0x10D0 && c <= 0x10F5)  // Georgian (Mkhedruli to Asomtavruli)
        return c - 0x10D0 + 0x10A0;
    if (c >= 0x1F00 && c <= 0x1FFF) {  // Greek with diacritics: the common pairs
        const char32_t low = c & 0xF;
        const char32_t block = c & ~static_cast<char32_t>(0xF);
        if ((block == 0x1F00 || block == 0x1F10 || block == 0x1F20 || block == 0x1F30 || block == 0x1F40 ||
             block == 0x1F60) &&
            low < 8)
            return c + 8;
        return c;
    }
    if (c >= 0x2170 && c <= 0x217F)  // small Roman numerals
        return c - 0x10;
    if (c >= 0x24D0 && c <= 0x24E9)  // circled small letters
        return c - 0x1A;
    if (c >= 0xFF41 && c <= 0xFF5A)  // fullwidth small letters
        return c - 0x20;
    return c;
}

std::string FoldUtf8(const char* text, size_t length)
{
    std::string out;
    out.reserve(length);
    const char* end = text + length;
    while (text < end)
        AppendUtf8(out, FoldCase(DecodeUtf8(&text, end)));
    return out;
}

std::string FoldUtf8(const std::string& text)
{
    return FoldUtf8(text.data(), text.size());
}

int CompareNoCase(const char* a, const char* b)
{
    const char* aEnd = a + strlen(a);
    const char* bEnd = b + strlen(b);
    while (a < aEnd && b < bEnd) {
        const char32_t x = FoldCase(DecodeUtf8(&a, aEnd));
        const char32_t y = FoldCase(DecodeUtf8(&b, bEnd));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a < aEnd)
        return 1;
    return b < bEnd ? -1 : 0;
}

bool EqualsNoCase(const char* a, const char* b)
{
    return a && b && CompareNoCase(a, b) == 0;
}

bool EqualsNoCase(const std::string& a, const std::string& b)
{
    return EqualsNoCase(a.c_str(), b.c_str());
}

bool StartsWithNoCase(const std::string& a, const std::string& prefix)
{
    const char* p = a.data();
    const char* pEnd = p + a.size();
    const char* q = prefix.data();
    const char* qEnd = q + prefix.size();
    while (q < qEnd) {
        if (p >= pEnd || FoldCase(DecodeUtf8(&p, pEnd)) != FoldCase(DecodeUtf8(&q, qEnd)))
            return false;
    }
    return true;
}

#ifdef _WIN32

namespace {

// The system's code page for non-Unicode programs. GetACP() now answers the
// process's own (UTF-8, from the manifest); files of earlier versions were
// written in the system's.
UINT SystemAnsiCodePage()
{
    static UINT cached = 0;
    if (cached)
        return cached;
    DWORD cp = 0;
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&cp), sizeof cp / sizeof(WCHAR)) == 0 ||
        cp == 0 || cp == CP_UTF8)
        cp = 1252;
    cached = cp;
    return cached;
}

}  // namespace

std::string LegacyToUtf8(const char* text, size_t length)
{
    if (length == 0)
        return std::string();
    const UINT cp = SystemAnsiCodePage();
    const int n = MultiByteToWideChar(cp, 0, text, static_cast<int>(length), nullptr, 0);
    if (n <= 0)
        return std::string(text, length);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, 0, text, static_cast<int>(length), &wide[0], n);
    return WideToUtf8(wide.data(), wide.size());
}

FILE* OpenFileUtf8(const char* path, const char* mode)
{
    if (!path || !mode)
        return nullptr;
    return _wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
}

#else

namespace {

// Code page 1252's 0x80 to 0x9F; 0 where it has no character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

std::string LegacyToUtf8(const char* text, size_t length)
{
    std::string out;
    out.reserve(length + length / 2);
    for (size_t i = 0; i < length; ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        char32_t c = b;
        if (b >= 0x80 && b <= 0x9F)
            c = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : b;
        AppendUtf8(out, c);
    }
    return out;
}

FILE* OpenFileUtf8(const char* path, const char* mode)
{
    if (!path || !mode)
        return nullptr;
    return fopen(path, mode);
}

#endif

namespace {

size_t Utf16Units(char32_t c)
{
    return c >= 0x10000 ? 2 : 1;
}

}  // namespace

size_t Utf16Length(const char* text, size_t length)
{
    size_t units = 0;
    const char* end = text + length;
    while (text < end)
        units += Utf16Units(DecodeUtf8(&text, end));
    return units;
}

size_t Utf16Length(const std::string& text)
{
    return Utf16Length(text.data(), text.size());
}

size_t Utf16PrefixLength(const char* text, size_t length, size_t maxUnits)
{
    const char* p = text;
    const char* end = text + length;
    size_t units = 0;
    while (p < end) {
        const char* next = p;
        units += Utf16Units(DecodeUtf8(&next, end));
        if (units > maxUnits)
            break;
        p = next;
    }
    return static_cast<size_t>(p - text);
}

int RemoveFileUtf8(const char* path)
{
    if (!path)
        return -1;
#ifdef _WIN32
    return _wremove(Utf8ToWide(path).c_str());
#else
    return remove(path);
#endif
}
