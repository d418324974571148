// CHideRuleList: the user's rules for hiding desktop icons as the Icons page
// edits them, and their file "IconHide.txt" (common/HideRuleFile.h).
// Window-free.
#pragma once

#include "common/HideRuleFile.h"
#include "common/KeyedFileRewrite.h"

#include <cstddef>
#include <string>
#include <vector>

enum class HidePatternProblem {
    kNone,
    kEmpty,
    kControlCharacter,  // a TAB would split the record, a line end would end it
    kTooLong,
};

class CHideRuleList {
public:
    // Nothing a pattern is matched against is longer than a file name.
    static constexpr size_t kMaxPatternChars = 259;

    const std::vector<HideRule>& Rules() const { return m_rules; }
    int Count() const { return static_cast<int>(m_rules.size()); }
    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // The first rule with exactly this pattern (case-sensitive; the kind is
    // not compared), or -1.
    int Find(const std::string& pattern) const;
    // Appends the rule unless a rule has its pattern; 1 when appended.
    int Add(const std::string& pattern, int kind);
    // Removes the first rule with this pattern (the later ones move up); 1 if
    // there was one.
    int Remove(const std::string& pattern);
    // Removes the rule with oldPattern and appends the new rule at the end.
    void Replace(const std::string& oldPattern, const std::string& pattern, int kind);
    void Clear() { m_rules.clear(); }

    // Empties the list and reads the file's rules in file order. 0 when the
    // file cannot be read or is not a hide-rule file (logged).
    int Load(const std::string& path);
    // Whether the file read last held more than the list (kept as .bak
    // before the list replaces it).
    bool KeepsOldFile() const { return m_keepOld; }

    // Rewrites the file whole when the list was modified (SaveChangedList). A
    // failure is logged, leaves the file as it was and the list marked
    // modified for the next save.
    ListSaveResult Save(const std::string& path);

    static HidePatternProblem CheckPattern(const std::string& pattern);
    static const char* PatternProblemText(HidePatternProblem problem);

private:
    std::vector<HideRule> m_rules;
    bool m_modified = false;
    bool m_keepOld = false;
};
