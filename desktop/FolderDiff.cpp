#include "desktop/FolderDiff.h"

#include <unordered_set>

namespace {
// Appends to out each key of from that is not in other, once.
void Missing(const std::vector<std::string>& from, const std::unordered_set<std::string>& other,
             std::vector<std::string>& out)
{
    std::unordered_set<std::string> seen;
    for (const std::string& key : from) {
        if (other.count(key) == 0 && seen.insert(key).second)
            out.push_back(key);
    }
}
}  // namespace

void CFolderDiff::Compare(const std::vector<std::string>& shown, const std::vector<std::string>& current)
{
    m_added.clear();
    m_removed.clear();
    std::unordered_set<std::string> shownSet(shown.begin(), shown.end());
    std::unordered_set<std::string> currentSet(current.begin(), current.end());
    Missing(current, shownSet, m_added);
    Missing(shown, currentSet, m_removed);
}
