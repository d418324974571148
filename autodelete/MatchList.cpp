#include "autodelete/MatchList.h"

#ifdef _WIN32
#include <windows.h>
#endif

std::string MatchList::Fold(const std::string& name)
{
    std::string folded = name;
#ifdef _WIN32
    // Knows the code page's letters and leaves the trail bytes of double-byte
    // characters alone.
    if (!folded.empty())
        CharUpperBuffA(&folded[0], static_cast<DWORD>(folded.size()));
#else
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
#endif
    return folded;
}

bool MatchList::Add(const std::string& name)
{
    return m_names.insert(Fold(name)).second;
}

bool MatchList::Contains(const std::string& name) const
{
    return m_names.count(Fold(name)) != 0;
}
