#include "respond/RespondRuleList.h"

#include "common/KeyedFileRewrite.h"
#include "common/KeyedTextFile.h"
#include "common/ListFileReader.h"
#include "common/ListFields.h"
#include "common/Log.h"
#include "respond/RespondMatch.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {
const char kTitle[] = "DERVANE RESPOND";

// A kind or match kind: one outside its list reads as 0.
int32_t KindField(const char* value, int index, int32_t fallback, int32_t count)
{
    const int32_t n = ListIntField(value, index, fallback);
    return n >= 0 && n < count ? n : 0;
}

void ActionKey(int rule, int action, char* out)
{
    snprintf(out, CKeyedTextFile::kKeySize, "ENTRY_%d_ACTION_%d", rule, action);
}

RespondEntry ReadRule(const char* value, bool withNames)
{
    RespondEntry rule;
    TakeListField(value, 0, rule.windowTitle);
    rule.titleMatch = static_cast<MatchKind>(KindField(value, 1, kMatchExactly, kMatchKindCount));
    TakeListField(value, 2, rule.windowText);
    rule.textMatch = static_cast<MatchKind>(KindField(value, 3, kMatchContaining, kMatchKindCount));
    // The flag is kept as one byte: its low byte decides.
    rule.oncePerWindow = (ListIntField(value, 4, 0) & 0xFF) != 0;
    if (withNames)
        TakeListField(value, 5, rule.name);
    return rule;
}

// The actions of a rule's run; a record with an empty kind is passed over.
void ReadActions(const ListEntry& entry, RespondEntry& rule)
{
    for (const std::string& record : entry.run) {
        const char* value = record.c_str();
        std::string kind;
        if (!TakeListField(value, 0, kind) || kind.empty())
            continue;
        RespondAction action;
        action.kind = static_cast<ActionKind>(KindField(value, 0, kActionNone, kActionKindCount));
        TakeListField(value, 1, action.label);
        action.labelMatch = static_cast<MatchKind>(KindField(value, 2, kMatchExactly, kMatchKindCount));
        action.delay = ListIntField(value, 3, 1000);
        rule.actions.push_back(std::move(action));
    }
}

int WriteRecords(CKeyedTextFile& file, const std::vector<RespondEntry>& rules)
{
    if (!file.WriteHeader(kTitle))
        return 0;
    char key[CKeyedTextFile::kKeySize];
    for (size_t i = 0; i < rules.size(); i++) {
        const RespondEntry& rule = rules[i];
        const int n = static_cast<int>(i);
        CKeyedTextFile::EntryKey(n, key);
        const std::string value = rule.windowTitle + '\t' + std::to_string(rule.titleMatch) + '\t' + rule.windowText +
            '\t' + std::to_string(rule.textMatch) + '\t' + (rule.oncePerWindow ? "1" : "0");
        if (!file.Write(key, value.c_str()))
            return 0;
        for (size_t j = 0; j < rule.actions.size(); j++) {
            const RespondAction& a = rule.actions[j];
            ActionKey(n, static_cast<int>(j), key);
            const std::string action = std::to_string(a.kind) + '\t' + a.label + '\t' + std::to_string(a.labelMatch) +
                '\t' + std::to_string(a.delay);
            if (!file.Write(key, action.c_str()))
                return 0;
        }
        ActionKey(n, static_cast<int>(rule.actions.size()), key);
        if (!file.Write(key, kListEndMark))
            return 0;
    }
    return 1;
}

bool Writable(const std::vector<RespondEntry>& rules)
{
    for (const RespondEntry& rule : rules) {
        if (CRespondRuleList::FieldProblem(rule.windowTitle) || CRespondRuleList::FieldProblem(rule.windowText))
            return false;
        for (const RespondAction& a : rule.actions) {
            if (CRespondRuleList::FieldProblem(a.label))
                return false;
        }
    }
    return true;
}

}  // namespace

void CRespondRuleList::Add(RespondEntry rule)
{
    m_rules.push_back(std::move(rule));
    m_modified = true;
}

void CRespondRuleList::Replace(int index, RespondEntry edited)
{
    if (index < 0 || index >= Count())
        return;
    m_rules.erase(m_rules.begin() + index);
    Add(std::move(edited));
}

void CRespondRuleList::Remove(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_rules.erase(m_rules.begin() + index);
    m_modified = true;
}

int CRespondRuleList::Load(const std::string& path, bool withNames)
{
    m_rules.clear();
    m_modified = false;
    CListFileReader reader(path, kTitle, "ACTION", true);
    const bool open = reader.Open(nullptr);
    ListEntry entry;
    while (reader.Next(entry)) {
        RespondEntry rule = ReadRule(entry.value.c_str(), withNames);
        ReadActions(entry, rule);
        // A rule with neither title nor text would answer no window: the
        // editor never makes one.
        if (rule.windowTitle.empty() && rule.windowText.empty()) {
            reader.Skipped(entry.number, "skipped: no window title nor text");
            continue;
        }
        m_rules.push_back(std::move(rule));
    }
    m_keepOld = MustKeepOldFile(reader.Finish());
    return open ? 1 : 0;
}

ListSaveResult CRespondRuleList::Save(const std::string& path)
{
    return SaveChangedList(path, m_modified, m_keepOld, Writable(m_rules),
                           [this](CKeyedTextFile& file) { return WriteRecords(file, m_rules); });
}

bool CRespondRuleList::IsDuplicateRule(const RespondEntry& rule) const
{
    const bool partial = rule.windowTitle.empty() || rule.windowText.empty();
    for (const RespondEntry& other : m_rules) {
        int matches = 0;
        if (!rule.windowTitle.empty() && TextMatches(kMatchExactly, rule.windowTitle, other.windowTitle))
            matches++;
        if (!rule.windowText.empty() && TextMatches(kMatchExactly, rule.windowText, other.windowText))
            matches++;
        if (matches == 2 || (matches == 1 && partial))
            return true;
    }
    return false;
}

const char* CRespondRuleList::FieldProblem(const std::string& text)
{
    return ListFieldProblem(text);
}
