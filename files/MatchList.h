// MatchList: the names of one folder's files that a task's patterns select,
// built afresh for each folder the engine processes. A name is held once
// whatever its letter case, and looked up in constant time, so a folder of n
// files costs n look-ups, not n squared.
#pragma once

#include <string>
#include <unordered_set>

class MatchList {
public:
    // Adds the name unless a name equal to it in any letter case is held;
    // true when added.
    bool Add(const std::string& name);
    bool Contains(const std::string& name) const;
    size_t Size() const { return m_names.size(); }
    void Clear() { m_names.clear(); }

    // The name as the list compares it: the letters of every script in upper
    // case (FoldUtf8), the same in both builds.
    static std::string Fold(const std::string& name);

private:
    std::unordered_set<std::string> m_names;
};
