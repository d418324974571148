// CRespondRuleList: the auto-respond rules in file order and their files,
// "Respond.txt" (the user's rules, which the program rewrites) and
// "RespondCommon.txt" (ready-made rules with names, only read). Window-free.
//
// Both are keyed text files titled "DERVANE RESPOND", "VERSION" "1.0", then
// per rule i "ENTRY_<i>" (windowTitle, titleMatch, windowText, textMatch,
// oncePerWindow; and the name in RespondCommon.txt), one
// "ENTRY_<i>_ACTION_<j>" per action (kind, label, labelMatch, delay) and one
// more with the end mark "#%#".
#pragma once

#include "common/KeyedFileRewrite.h"
#include "respond/RespondEntry.h"

#include <string>
#include <vector>

class CRespondRuleList {
public:
    const std::vector<RespondEntry>& Rules() const { return m_rules; }
    int Count() const { return static_cast<int>(m_rules.size()); }
    const RespondEntry& Rule(int index) const { return m_rules[index]; }

    // Each of these marks the list modified.
    void Add(RespondEntry rule);
    // The old rule goes and the edited one is appended.
    void Replace(int index, RespondEntry edited);
    void Remove(int index);

    bool IsModified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }

    // Empties the list and reads the file; withNames takes each rule's name
    // (RespondCommon.txt). A missing file gives an empty list without a log
    // line and answers 0, as does another title, with one. Kinds and match
    // kinds outside their lists read as 0; records that hold no rule are
    // skipped and a rule whose actions are broken off keeps those before the
    // break, with a log line (common/ListFileReader.h).
    int Load(const std::string& path, bool withNames = false);
    // Whether the file read last held more than the list (kept as .bak
    // before the list replaces it).
    bool KeepsOldFile() const { return m_keepOld; }

    // When modified, writes every rule (names are never written) to a
    // temporary file beside path and moves it over the old file, so that a
    // reader never sees half a file; only a whole, moved file clears the
    // modified flag. A failure is logged ("Cannot create Respond.txt file")
    // and leaves the old file and the flag as they were.
    ListSaveResult Save(const std::string& path);

    // True when a rule of the list has rule's title and rule's text (letter
    // case ignored; empty texts never count as equal), or has the one of them
    // that rule has when rule leaves the other empty.
    bool IsDuplicateRule(const RespondEntry& rule) const;

    // Why text cannot be kept in the file as a title, text or label (a TAB,
    // CR or LF, or more than kListFieldChars characters), or nullptr.
    static const char* FieldProblem(const std::string& text);

private:
    std::vector<RespondEntry> m_rules;
    bool m_modified = false;
    bool m_keepOld = false;
};
