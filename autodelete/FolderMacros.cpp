#include "autodelete/FolderMacros.h"

namespace {

const char* const kMacroTexts[kFolderMacroCount] = {
    "%WINDOWS%", "%WINDOWS_TEMP%", "%WINDOWS_DRIVE%", "%IE_TEMP%", "%NAVIGATOR_TEMP%", "%RECENT_FILES%",
};

}  // namespace

const char* FolderMacroText(int macro)
{
    return macro >= 0 && macro < kFolderMacroCount ? kMacroTexts[macro] : "";
}

void ReplaceAll(std::string& text, const std::string& macro, const std::string& value)
{
    if (macro.empty())
        return;
    size_t at = 0;
    while ((at = text.find(macro, at)) != std::string::npos) {
        text.replace(at, macro.size(), value);
        at += value.size();
    }
}

bool ExpandFolderMacrosWith(std::string& text, const std::function<std::string(int macro)>& valueOf)
{
    bool complete = true;
    for (int macro = 0; macro < kFolderMacroCount; macro++) {
        const std::string name = kMacroTexts[macro];
        if (text.find(name) == std::string::npos)
            continue;
        const std::string value = valueOf(macro);
        if (value.empty())
            complete = false;
        ReplaceAll(text, name, value);
    }
    return complete;
}
