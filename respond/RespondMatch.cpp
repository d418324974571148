#include "respond/RespondMatch.h"

#include "common/Utf8.h"

namespace {

// Whether pattern occurs in text at offset at. Both are folded already (FoldUtf8),
// so the bytes compare as the characters do without case.
bool SameAt(const std::string& text, size_t at, const std::string& pattern)
{
    return text.compare(at, pattern.size(), pattern) == 0;
}

}  // namespace

bool TextMatches(MatchKind kind, const std::string& rawPattern, const std::string& rawText)
{
    // Folded code point by code point: the case of every script is ignored,
    // and since UTF-8 never starts a character inside another, a match of the
    // bytes is a match of whole characters.
    const std::string pattern = FoldUtf8(rawPattern);
    const std::string text = FoldUtf8(rawText);
    if (pattern.size() > text.size())
        return false;
    switch (kind) {
    case kMatchStartingWith: return SameAt(text, 0, pattern);
    case kMatchEndingWith: return SameAt(text, text.size() - pattern.size(), pattern);
    case kMatchContaining: return text.find(pattern) != std::string::npos;
    default: return pattern == text;
    }
}

std::string PlainLabel(const std::string& label)
{
    std::string plain;
    for (char c : label) {
        if (c == '\t')
            break;
        if (c != '&')
            plain += c;
    }
    return plain;
}

bool LabelMatches(const RespondAction& action, const std::string& label)
{
    return TextMatches(action.labelMatch, PlainLabel(action.label), PlainLabel(label));
}

bool RuleMatchesWindow(const RespondEntry& rule, const std::string& title, const std::vector<std::string>& texts)
{
    if (rule.windowTitle.empty() && rule.windowText.empty())
        return false;
    if (!rule.windowTitle.empty() && !TextMatches(rule.titleMatch, rule.windowTitle, title))
        return false;
    if (rule.windowText.empty())
        return true;
    for (const std::string& text : texts) {
        if (TextMatches(rule.textMatch, rule.windowText, text))
            return true;
    }
    return false;
}

int32_t ClampedDelay(int32_t delay)
{
    if (delay < 0)
        return 0;
    return delay > 60000 ? 60000 : delay;
}
