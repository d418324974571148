#include "common/HideRuleFile.h"

#include "common/KeyedTextFile.h"
#include "common/PathSep.h"

#include <cstdlib>

namespace {

const char kHideRuleFileName[] = "IconHide.txt";
const char kHideRuleTitle[] = "DERVANE ICON HIDE";

}  // namespace

std::string HideRuleFilePath(const std::string& programFolder)
{
    return programFolder + kPathSeparator + kHideRuleFileName;
}

bool ReadHideRuleFile(const std::string& path, std::vector<HideRule>* rules, ListFileState* state)
{
    CListFileReader reader(path, kHideRuleTitle, nullptr);
    const bool open = reader.Open("Cannot read IconHide.txt file");
    ListEntry entry;
    char field[CKeyedTextFile::kLineSize];
    while (reader.Next(entry)) {
        HideRule rule;
        if (CKeyedTextFile::GetField(entry.value.c_str(), 0, field))
            rule.pattern = field;
        if (CKeyedTextFile::GetField(entry.value.c_str(), 1, field))
            rule.kind = atoi(field);
        rules->push_back(rule);
    }
    const ListFileState read = reader.Finish();
    if (state)
        *state = read;
    return open;
}

int WriteHideRuleRecords(CKeyedTextFile& file, const std::vector<HideRule>& rules)
{
    if (!file.WriteHeader(kHideRuleTitle))
        return 0;
    char key[CKeyedTextFile::kKeySize];
    for (size_t i = 0; i < rules.size(); ++i) {
        CKeyedTextFile::EntryKey(static_cast<int>(i), key);
        const std::string entry = rules[i].pattern + '\t' + std::to_string(rules[i].kind);
        // A record the reader would not give back fails the whole file.
        if (!file.Write(key, entry.c_str()))
            return 0;
    }
    return 1;
}
