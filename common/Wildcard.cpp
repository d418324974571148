#include "common/Wildcard.h"

#include <cstring>

namespace {

// ASCII only: the result must not depend on the C runtime's locale.
inline char Fold(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

// Greedy match that remembers only the last star: when a later part fails,
// the last star takes one more character and matching resumes after it.
// Earlier stars never need revisiting, which keeps the work bounded by
// text length times pattern length.
bool WildcardMatchRange(const char* p, const char* pEnd, const char* t, const char* tEnd)
{
    const char* star = nullptr;  // pattern position just after the last '*'
    const char* resume = nullptr;  // text position that star is matched up to
    while (t < tEnd) {
        if (p < pEnd && *p == '*') {
            star = ++p;
            resume = t;
        } else if (p < pEnd && (*p == '?' || Fold(*p) == Fold(*t))) {
            ++p;
            ++t;
        } else if (star) {
            p = star;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pEnd && *p == '*')
        ++p;
    return p == pEnd;
}

bool WildcardMatch(const char* pattern, const char* text)
{
    if (!pattern || !text)
        return false;
    return WildcardMatchRange(pattern, pattern + strlen(pattern), text, text + strlen(text));
}
