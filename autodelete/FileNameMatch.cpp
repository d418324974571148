#include "autodelete/FileNameMatch.h"

#include <cstring>

namespace {

inline char Fold(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Greedy match that remembers only the last star: when a later part fails,
// that star takes one more character and matching resumes after it.
bool MatchRange(const char* p, const char* pEnd, const char* t, const char* tEnd)
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

}  // namespace

bool MatchFileName(const std::string& pattern, const std::string& name)
{
    if (pattern.empty() || name.empty())
        return false;
    const char* p = pattern.c_str();
    const char* pEnd = p + pattern.size();
    const char* t = name.c_str();
    const char* tEnd = t + name.size();
    if (MatchRange(p, pEnd, t, tEnd))
        return true;
    const bool hasDot = memchr(t, '.', name.size()) != nullptr;
    // "x.*": also the name without an extension.
    if (pattern.size() >= 2 && pEnd[-2] == '.' && pEnd[-1] == '*' && !hasDot)
        return MatchRange(p, pEnd - 2, t, tEnd);
    // "x.": the name without an extension.
    if (pEnd[-1] == '.' && !hasDot)
        return MatchRange(p, pEnd - 1, t, tEnd);
    return false;
}
