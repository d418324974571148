#include "respond/RespondMatch.h"

namespace {
unsigned char Fold(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + ('a' - 'A'));
    // Latin-1 capitals À to Þ, without the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

bool SameAt(const std::string& text, size_t at, const std::string& pattern)
{
    for (size_t i = 0; i < pattern.size(); i++) {
        if (Fold(static_cast<unsigned char>(text[at + i])) != Fold(static_cast<unsigned char>(pattern[i])))
            return false;
    }
    return true;
}
}  // namespace

bool TextMatches(MatchKind kind, const std::string& pattern, const std::string& text)
{
    if (pattern.size() > text.size())
        return false;
    switch (kind) {
    case kMatchStartingWith: return SameAt(text, 0, pattern);
    case kMatchEndingWith: return SameAt(text, text.size() - pattern.size(), pattern);
    case kMatchContaining:
        for (size_t at = 0; at + pattern.size() <= text.size(); at++) {
            if (SameAt(text, at, pattern))
                return true;
        }
        return false;
    default: return pattern.size() == text.size() && SameAt(text, 0, pattern);
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
