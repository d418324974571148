#include "common/Wildcard.h"

#include <cstring>

#include "common/Utf8.h"

// Greedy match that remembers only the last star: when a later part fails,
// the last star takes one more character and matching resumes after it.
// Earlier stars never need revisiting, which keeps the work bounded by
// text length times pattern length. Both texts are walked a code point at a
// time; a byte that is not well-formed UTF-8 counts as one character.
bool WildcardMatchRange(const char* p, const char* pEnd, const char* t, const char* tEnd)
{
    const char* star = nullptr;  // pattern position just after the last '*'
    const char* resume = nullptr;  // text position that star is matched up to
    while (t < tEnd) {
        if (p < pEnd && *p == '*') {
            star = ++p;
            resume = t;
            continue;
        }
        if (p < pEnd) {
            const char* nextP = p;
            const char* nextT = t;
            const char32_t pc = DecodeUtf8(&nextP, pEnd);
            const char32_t tc = DecodeUtf8(&nextT, tEnd);
            if (pc == '?' || FoldCase(pc) == FoldCase(tc)) {
                p = nextP;
                t = nextT;
                continue;
            }
        }
        if (!star)
            return false;
        p = star;
        DecodeUtf8(&resume, tEnd);
        t = resume;
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
