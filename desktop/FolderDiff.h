#pragma once
#include <string>
#include <vector>

// What changed between the items a view shows and the items its folder holds
// now, each item known by a key (its parsing name).
class CFolderDiff {
public:
    // Keys in current that shown lacks, in the order of current, each once.
    const std::vector<std::string>& Added() const { return m_added; }
    // Keys in shown that current lacks, in the order of shown, each once.
    const std::vector<std::string>& Removed() const { return m_removed; }
    bool Empty() const { return m_added.empty() && m_removed.empty(); }

    void Compare(const std::vector<std::string>& shown, const std::vector<std::string>& current);

private:
    std::vector<std::string> m_added;
    std::vector<std::string> m_removed;
};
