// Arbitrary bytes as TrayIcons.txt, Respond.txt and IconHide.txt. Reading must never
// overrun, and what was read is written back whole or not at all: either the
// new file reads as the same entries, or no file (and no temporary file) is
// left and the list stays changed.
#include "common/HideRuleFile.h"
#include "common/KeyedFileRewrite.h"
#include "respond/RespondRuleList.h"
#include "tests/fuzz/FuzzWorkFolder.h"
#include "tray/TrayIconList.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool Same(const TrayMenuItem& a, const TrayMenuItem& b)
{
    return a.kind == b.kind && a.label == b.label && a.path == b.path && a.command == b.command &&
        a.isDefault == b.isDefault;
}

bool Same(const TrayIconEntry& a, const TrayIconEntry& b)
{
    if (a.tipText != b.tipText || a.iconFile != b.iconFile || a.iconIndex != b.iconIndex ||
        a.items.size() != b.items.size())
        return false;
    for (size_t i = 0; i < a.items.size(); i++) {
        if (!Same(a.items[i], b.items[i]))
            return false;
    }
    return true;
}

bool Same(const RespondEntry& a, const RespondEntry& b)
{
    if (a.windowTitle != b.windowTitle || a.titleMatch != b.titleMatch || a.windowText != b.windowText ||
        a.textMatch != b.textMatch || a.oncePerWindow != b.oncePerWindow || a.actions.size() != b.actions.size())
        return false;
    for (size_t i = 0; i < a.actions.size(); i++) {
        const RespondAction& x = a.actions[i];
        const RespondAction& y = b.actions[i];
        if (x.kind != y.kind || x.label != y.label || x.labelMatch != y.labelMatch || x.delay != y.delay)
            return false;
    }
    return true;
}

void FuzzTrayIcons(const std::string& input, const std::string& output)
{
    remove(output.c_str());
    CTrayIconList list;
    list.Load(input);
    list.SetModified(true);
    if (list.Save(output) == ListSaveResult::kWritten) {
        CTrayIconList again;
        if (!again.Load(output) || again.Count() != list.Count())
            abort();
        for (int i = 0; i < list.Count(); i++) {
            if (!Same(list.Entry(i), again.Entry(i)))
                abort();
        }
    } else if (FuzzFileExists(output) || FuzzFileExists(output + ".new") || !list.IsModified()) {
        abort();
    }
}

void FuzzRespond(const std::string& input, const std::string& output)
{
    remove(output.c_str());
    CRespondRuleList list;
    list.Load(input, true);
    for (const RespondEntry& rule : list.Rules()) {
        if (rule.windowTitle.empty() && rule.windowText.empty())
            abort();  // such a rule answers no window and is never kept
    }
    list.SetModified(true);
    if (list.Save(output) == ListSaveResult::kWritten) {
        CRespondRuleList again;
        if (!again.Load(output) || again.Count() != list.Count())
            abort();
        for (int i = 0; i < list.Count(); i++) {
            if (!Same(list.Rule(i), again.Rule(i)))
                abort();
        }
    } else if (FuzzFileExists(output) || FuzzFileExists(output + ".new") || !list.IsModified()) {
        abort();
    }
}

void FuzzIconHide(const std::string& input, const std::string& output)
{
    remove(output.c_str());
    std::vector<HideRule> rules;
    ListFileState state = ListFileState::kMissing;
    ReadHideRuleFile(input, &rules, &state);
    bool changed = true;
    bool keepOld = false;
    const auto write = [&](CKeyedTextFile& file) { return WriteHideRuleRecords(file, rules); };
    if (SaveChangedList(output, changed, keepOld, true, write) == ListSaveResult::kWritten) {
        std::vector<HideRule> again;
        if (!ReadHideRuleFile(output, &again) || again.size() != rules.size())
            abort();
        for (size_t i = 0; i < rules.size(); i++) {
            if (again[i].pattern != rules[i].pattern || again[i].kind != rules[i].kind)
                abort();
        }
    } else if (FuzzFileExists(output) || FuzzFileExists(output + ".new") || !changed) {
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzWorkFolder& work = FuzzWork("lists");
    // The same bytes under every title: a seed of any of the files reaches every reader.
    const std::string input = work.WriteInput("Input.txt", data, size);
    FuzzTrayIcons(input, work.File("TrayIcons.txt"));
    FuzzRespond(input, work.File("Respond.txt"));
    FuzzIconHide(input, work.File("IconHide.txt"));
    return 0;
}
