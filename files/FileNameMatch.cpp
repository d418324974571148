#include "files/FileNameMatch.h"

#include <cstring>

#include "common/Wildcard.h"

bool MatchFileName(const std::string& pattern, const std::string& name)
{
    if (pattern.empty() || name.empty())
        return false;
    const char* p = pattern.c_str();
    const char* pEnd = p + pattern.size();
    const char* t = name.c_str();
    const char* tEnd = t + name.size();
    if (WildcardMatchRange(p, pEnd, t, tEnd))
        return true;
    const bool hasDot = memchr(t, '.', name.size()) != nullptr;
    // "x.*": also the name without an extension.
    if (pattern.size() >= 2 && pEnd[-2] == '.' && pEnd[-1] == '*' && !hasDot)
        return WildcardMatchRange(p, pEnd - 2, t, tEnd);
    // "x.": the name without an extension.
    if (pEnd[-1] == '.' && !hasDot)
        return WildcardMatchRange(p, pEnd - 1, t, tEnd);
    return false;
}

bool MatchesAnyPattern(const std::vector<std::string>& patterns, const std::string& name)
{
    for (const std::string& pattern : patterns) {
        if (MatchFileName(pattern, name))
            return true;
    }
    return false;
}
