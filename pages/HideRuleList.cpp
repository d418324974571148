#include "pages/HideRuleList.h"

#include "common/KeyedTextFile.h"
#include "common/Log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kTitle[] = "DERVANE ICON HIDE";

}  // namespace

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
    CKeyedTextFile file(path.c_str());
    if (!file.Exists()) {
        LogWarning("Cannot read IconHide.txt file");
        return 0;
    }
    char value[CKeyedTextFile::kLineSize] = "";
    if (!file.Find("KTX_FILE", value, 1) || strcmp(value, kTitle) != 0)
        return 0;
    char key[CKeyedTextFile::kKeySize];
    for (int n = 0;; ++n) {
        CKeyedTextFile::EntryKey(n, key);
        if (!file.Find(key, value, 0))
            break;
        HideRule rule;
        char field[CKeyedTextFile::kLineSize];
        if (CKeyedTextFile::GetField(value, 0, field))
            rule.pattern = field;
        if (CKeyedTextFile::GetField(value, 1, field))
            rule.kind = atoi(field);
        m_rules.push_back(rule);
    }
    return 1;
}

CHideRuleList::SaveResult CHideRuleList::Save(const std::string& path)
{
    if (!m_modified)
        return SaveResult::kNotModified;
    CKeyedTextFile file(path.c_str());
    if (!file.Create()) {
        LogWarning("Cannot create IconHide.txt file");
        return SaveResult::kFailed;
    }
    if (!file.Write("KTX_FILE", kTitle) || !file.Write("VERSION", "1.0")) {
        LogWarning("Cannot write IconHide.txt file");
        return SaveResult::kFailed;
    }
    char key[CKeyedTextFile::kKeySize];
    for (size_t i = 0; i < m_rules.size(); ++i) {
        CKeyedTextFile::EntryKey(static_cast<int>(i), key);
        const std::string entry = m_rules[i].pattern + '\t' + std::to_string(m_rules[i].kind);
        // A record the reader would not give back ends the rules there.
        if (!file.Write(key, entry.c_str())) {
            LogWarning("Cannot write IconHide.txt file");
            return SaveResult::kFailed;
        }
    }
    m_modified = false;
    return SaveResult::kWritten;
}

HidePatternProblem CHideRuleList::CheckPattern(const std::string& pattern)
{
    if (pattern.empty())
        return HidePatternProblem::kEmpty;
    for (char c : pattern) {
        if (static_cast<unsigned char>(c) < 32)
            return HidePatternProblem::kControlCharacter;
    }
    if (pattern.size() > kMaxPatternChars)
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
