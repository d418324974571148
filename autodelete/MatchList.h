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

    // The name as the list compares it: ASCII letters in upper case (and, in
    // the Windows build, the letters of the ANSI code page as the system
    // upper-cases them).
    static std::string Fold(const std::string& name);

private:
    std::unordered_set<std::string> m_names;
};
