#include "hook/LabelIndex.h"

void CLabelIndex::Add(const char* label, int index)
{
    if (!label)
        return;
    auto found = first_.find(label);
    if (found == first_.end()) {
        first_.emplace(label, index);
    } else if (index < found->second) {
        found->second = index;
    }
}

int CLabelIndex::Find(const char* label) const
{
    if (!label)
        return -1;
    auto found = first_.find(label);
    return found == first_.end() ? -1 : found->second;
}
