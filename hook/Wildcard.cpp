#include "hook/Wildcard.h"

#include <cctype>

namespace {

inline int Upper(char c)
{
    return toupper(static_cast<unsigned char>(c));
}

}  // namespace

// Greedy match that remembers only the last star: when a later part fails,
// the last star takes one more character and matching resumes after it.
// Earlier stars never need revisiting, which keeps the work bounded by
// text length times pattern length.
bool WildcardMatch(const char* pattern, const char* text)
{
    if (!pattern || !text)
        return false;
    const char* p = pattern;
    const char* t = text;
    const char* star = nullptr;  // pattern position just after the last '*'
    const char* resume = nullptr;  // text position that star is matched up to
    while (*t) {
        if (*p == '*') {
            star = ++p;
            resume = t;
        } else if (*p && (*p == '?' || Upper(*p) == Upper(*t))) {
            ++p;
            ++t;
        } else if (star) {
            p = star;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (*p == '*')
        ++p;
    return *p == '\0';
}
