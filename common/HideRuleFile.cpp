#include "common/HideRuleFile.h"

#include "common/KeyedTextFile.h"
#include "common/Log.h"
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

bool ReadHideRuleFile(const std::string& path, std::vector<HideRule>* rules)
{
    CKeyedTextFile file(path.c_str());
    if (!file.Exists()) {
        LogWarning("Cannot read IconHide.txt file");
        return false;
    }
    if (!file.HasTitle(kHideRuleTitle))
        return false;
    char key[CKeyedTextFile::kKeySize];
    char value[CKeyedTextFile::kLineSize];
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
        rules->push_back(rule);
    }
    return true;
}

bool WriteHideRuleFile(const std::string& path, const std::vector<HideRule>& rules)
{
    CKeyedTextFile file(path.c_str());
    if (!file.Create()) {
        LogWarning("Cannot create IconHide.txt file");
        return false;
    }
    if (!file.WriteHeader(kHideRuleTitle)) {
        LogWarning("Cannot write IconHide.txt file");
        return false;
    }
    char key[CKeyedTextFile::kKeySize];
    for (size_t i = 0; i < rules.size(); ++i) {
        CKeyedTextFile::EntryKey(static_cast<int>(i), key);
        const std::string entry = rules[i].pattern + '\t' + std::to_string(rules[i].kind);
        // A record the reader would not give back ends the rules there.
        if (!file.Write(key, entry.c_str())) {
            LogWarning("Cannot write IconHide.txt file");
            return false;
        }
    }
    return true;
}
