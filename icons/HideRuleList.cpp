#include "icons/HideRuleList.h"

#include "common/Utf8.h"

int CHideRuleList::Find(const std::string& pattern) const
{
    for (size_t i = 0; i < m_rules.size(); ++i) {
        if (m_rules[i].pattern == pattern)
            return static_cast<int>(i);
    }
    return -1;
}

int CHideRuleList::Add(const std::string& pattern, int kind)
{
    if (Find(pattern) != -1)
        return 0;
    m_rules.push_back(HideRule{pattern, kind});
    return 1;
}

int CHideRuleList::Remove(const std::string& pattern)
{
    const int index = Find(pattern);
    if (index == -1)
        return 0;
    m_rules.erase(m_rules.begin() + index);
    return 1;
}

void CHideRuleList::Replace(const std::string& oldPattern, const std::string& pattern, int kind)
{
    Remove(oldPattern);
    m_rules.push_back(HideRule{pattern, kind});
}

int CHideRuleList::Load(const std::string& path)
{
    m_rules.clear();
    ListFileState state = ListFileState::kMissing;
    const bool read = ReadHideRuleFile(path, &m_rules, &state);
    m_keepOld = MustKeepOldFile(state);
    return read ? 1 : 0;
}

ListSaveResult CHideRuleList::Save(const std::string& path)
{
    return SaveChangedList(path, m_modified, m_keepOld, true,
                           [this](CKeyedTextFile& file) { return WriteHideRuleRecords(file, m_rules); });
}

HidePatternProblem CHideRuleList::CheckPattern(const std::string& pattern)
{
    if (pattern.empty())
        return HidePatternProblem::kEmpty;
    for (char c : pattern) {
        if (static_cast<unsigned char>(c) < 32)
            return HidePatternProblem::kControlCharacter;
    }
    if (Utf16Length(pattern) > kMaxPatternChars)
        return HidePatternProblem::kTooLong;
    return HidePatternProblem::kNone;
}

const char* CHideRuleList::PatternProblemText(HidePatternProblem problem)
{
    switch (problem) {
    case HidePatternProblem::kNone: return "";
    case HidePatternProblem::kEmpty: return "Please type the text to match.";
    case HidePatternProblem::kControlCharacter: return "The text to match cannot contain tabs or line breaks.";
    case HidePatternProblem::kTooLong: return "The text to match is too long: at most 259 characters.";
    }
    return "";
}
