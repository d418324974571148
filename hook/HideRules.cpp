#include "hook/HideRules.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/HideRuleFile.h"
#include "common/Log.h"
#include "hook/DesktopListView.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/IconHiding.h"
#include "hook/ShellLinks.h"
#include "common/Wildcard.h"

namespace {

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
    if (rule.kind == kHideByLabel)
        return WildcardMatch(rule.pattern.c_str(), label);
    if (rule.kind != kHideByReference)
        return false;
    char name[kShortcutTextSize];
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
    ReadHideRuleFile(HideRuleFilePath(g_shared.programFolder), &rules);
    ApplyHideRulesToAll();
}
