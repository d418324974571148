#include "files/MatchList.h"

#include "common/Utf8.h"

std::string MatchList::Fold(const std::string& name)
{
    return FoldUtf8(name);
}

bool MatchList::Add(const std::string& name)
{
    return m_names.insert(Fold(name)).second;
}

bool MatchList::Contains(const std::string& name) const
{
    return m_names.count(Fold(name)) != 0;
}
