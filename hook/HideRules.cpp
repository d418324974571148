#include "hook/HideRules.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/HideRuleFile.h"
#include "common/Utf8.h"
#include "common/Wildcard.h"
#include "hook/DesktopListView.h"
#include "hook/HookProcess.h"
#include "hook/HookSharedData.h"
#include "hook/IconHiding.h"
#include "hook/ShellLinks.h"

namespace {

// Rules are matched only while they can hide anything: with hiding or the
// features off no icon is hidden and none has to be shown.
bool HidingOn()
{
    return g_shared.hideEnabled && g_shared.enabled && g_process.lists;
}

// The file name of the target of the shortcut at path, or "": one read of
// the link, counted.
std::string TargetName(const std::string& path)
{
    if (path.empty())
        return std::string();
    InterlockedIncrement(&g_shared.shortcutReads);
    ShortcutRecord record;
    if (FAILED(ReadShortcut(path.c_str(), nullptr, &record)))
        return std::string();
    const char* slash = strrchr(record.target, '\\');
    return slash ? slash + 1 : record.target;
}

// Whether a rule hides the icon under label: any rule that matches hides
// it, so the rules of labels are tried first. The path of the icon's item is
// asked of itemPath, and its shortcut read, once, and only when a rule of
// targets is reached.
template <typename ItemPath> bool RulesHide(const char* label, ItemPath itemPath)
{
    const std::vector<HideRule>& rules = g_process.lists->hideRules;
    bool anyOfTargets = false;
    for (const HideRule& rule : rules) {
        if (rule.kind == kHideByLabel && WildcardMatch(rule.pattern.c_str(), label))
            return true;
        anyOfTargets = anyOfTargets || rule.kind == kHideByReference;
    }
    if (!anyOfTargets)
        return false;
    const std::string target = TargetName(itemPath());
    if (target.empty())
        return false;
    for (const HideRule& rule : rules) {
        if (rule.kind == kHideByReference && WildcardMatch(rule.pattern.c_str(), target.c_str()))
            return true;
    }
    return false;
}

void HideOrShow(const char* label, bool hide)
{
    if (hide) {
        HideIcon(label);
    } else {
        ShowIcon(label);
    }
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesW(Utf8ToWide(path.c_str()).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The path of the desktop item shown under label, "" for none or one without
// a file. The items' paths are kept from one listing of the desktop to the
// next, so that icons inserted one after the other (a refresh of the whole
// desktop) cost one listing: the items are listed again only when label is
// not among them or its file is gone, and at most once while *listed is
// false. Of several names equal without case, the shell's last counts.
std::string DesktopItemPath(const char* label, bool* listed)
{
    std::unordered_map<std::string, std::string>& paths = g_process.lists->itemPaths;
    const std::string key = FoldUtf8(label);
    auto found = paths.find(key);
    if (found != paths.end() && (found->second.empty() || FileExists(found->second)))
        return found->second;
    if (*listed)
        return std::string();
    *listed = true;
    paths.clear();
    EnumDesktopItems([&](const char* name, const char* path, LPCITEMIDLIST) { paths[FoldUtf8(name)] = path; });
    found = paths.find(key);
    return found == paths.end() ? std::string() : found->second;
}

}  // namespace

void ApplyHideRules(const char* label)
{
    if (!HidingOn() || !label)
        return;
    bool listed = false;
    HideOrShow(label, RulesHide(label, [&] { return DesktopItemPath(label, &listed); }));
}

void ApplyHideRulesToAll()
{
    if (!HidingOn())
        return;
    const CDesktopListView lv(g_shared.listView);
    const CScopedIconIndex index(g_shared.listView);
    bool listed = false;  // the desktop's items are listed at most once for them all
    const int count = lv.Count();
    char label[kIconLabelSize];
    for (int i = 0; i < count; ++i) {
        if (lv.GetLabel(i, label))
            HideOrShow(label, RulesHide(label, [&] { return DesktopItemPath(label, &listed); }));
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
