#include "common/HideRuleFile.h"

#include "common/KeyedTextFile.h"
#include "common/Log.h"
#include "common/PathSep.h"
#include "common/Utf8.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char kHideRuleFileName[] = "IconHide.txt";
const char kHideRuleTitle[] = "DERVANE ICON HIDE";

// Writes the whole file at path; false (logged) when it could not.
bool WriteRules(const std::string& path, const std::vector<HideRule>& rules)
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
        // A record the reader would not give back fails the whole file.
        if (!file.Write(key, entry.c_str())) {
            LogWarning("Cannot write IconHide.txt file");
            return false;
        }
    }
    return true;
}

// Puts the finished file in the place of the old one.
bool MoveOver(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    const std::wstring wideFrom = Utf8ToWide(from.c_str());
    return MoveFileExW(wideFrom.c_str(), Utf8ToWide(to.c_str()).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
#else
    return rename(from.c_str(), to.c_str()) == 0;
#endif
}

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
    // Written beside the file and moved over it once whole, so that a failure
    // leaves the rules as they were.
    const std::string written = path + ".new";
    if (!WriteRules(written, rules)) {
        RemoveFileUtf8(written.c_str());
        return false;
    }
    if (!MoveOver(written, path)) {
        LogWarning("Cannot write IconHide.txt file");
        RemoveFileUtf8(written.c_str());
        return false;
    }
    return true;
}
