// Looks icons up by label in time independent of the number of icons, with
// the same answer as a walk from index 0: the lowest index with that label.
#pragma once

#include <string>
#include <unordered_map>

class CLabelIndex {
public:
    // Adds the icon at index under label; the first index seen for a label wins.
    void Add(const char* label, int index);
    // The lowest index added under label, or -1.
    int Find(const char* label) const;
    void Clear() { first_.clear(); }

private:
    std::unordered_map<std::string, int> first_;
};
