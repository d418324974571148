#include "hook/HideRules.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/KeyedTextFile.h"
#include "common/Log.h"
#include "hook/DesktopListView.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/IconHiding.h"
#include "hook/ShellLinks.h"
#include "hook/Wildcard.h"

namespace {

void ReadRules(std::vector<HideRule>* rules)
{
    char path[MAX_PATH + 32];
    snprintf(path, sizeof path, "%s\\IconHide.txt", g_shared.programFolder);
    CKeyedTextFile file(path);
    if (!file.Exists()) {
        LogWarning("Cannot read IconHide.txt file");
        return;
    }
    char value[1024];
    if (!file.Find("KTX_FILE", value, true) || strcmp(value, "DERVANE ICON HIDE") != 0)
        return;
    for (int n = 0;; ++n) {
        char key[32];
        snprintf(key, sizeof key, "ENTRY_%d", n);
        if (!file.Find(key, value, false))
            break;
        char field[1024] = "";
        HideRule rule;
        if (CKeyedTextFile::GetField(value, 0, field))
            rule.pattern = field;
        rule.kind = 0;
        if (CKeyedTextFile::GetField(value, 1, field))
            rule.kind = atoi(field);
        rules->push_back(rule);
    }
}

// The file name of the target of the shortcut behind the icon, or "".
void ShortcutTargetName(const char* label, char* out, size_t size)
{
    out[0] = '\0';
    ShortcutRecord record;
    if (!ReadDesktopItem(label, &record))
        return;
    const char* slash = strrchr(record.target, '\\');
    snprintf(out, size, "%s", slash ? slash + 1 : record.target);
}

bool RuleMatches(const HideRule& rule, const char* label)
{
    if (rule.kind == 0)
        return WildcardMatch(rule.pattern.c_str(), label);
    if (rule.kind != 1)
        return false;
    char name[MAX_PATH];
    ShortcutTargetName(label, name, sizeof name);
    return name[0] != '\0' && WildcardMatch(rule.pattern.c_str(), name);
}

}  // namespace

void ApplyHideRules(const char* label)
{
    if (!g_process.lists)
        return;
    for (const HideRule& rule : g_process.lists->hideRules) {
        if (RuleMatches(rule, label)) {
            HideIcon(label);
            return;
        }
    }
    ShowIcon(label);
}

void ApplyHideRulesToAll()
{
    const CDesktopListView lv(g_shared.listView);
    const CScopedIconIndex index(g_shared.listView);
    const int count = lv.Count();
    char label[kIconLabelSize];
    for (int i = 0; i < count; ++i) {
        if (lv.GetLabel(i, label))
            ApplyHideRules(label);
    }
}

void ReloadHideRules()
{
    if (!g_process.lists)
        return;
    std::vector<HideRule>& rules = g_process.lists->hideRules;
    rules.clear();
    ReadRules(&rules);
    ApplyHideRulesToAll();
}
