#include "icons/LayoutNames.h"

#include "common/FileNameChecks.h"
#include "common/Utf8.h"

#include <cstdio>
#include <cstring>

std::string LayoutFileName(const std::string& name)
{
    if (name.find(".dvl") != std::string::npos || name.find(".DVL") != std::string::npos)
        return name;
    return name + kLayoutExtension;
}

std::string LayoutTitle(const std::string& fileName)
{
    const size_t dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

std::string ReplaceLayoutQuestion(const std::string& fileName)
{
    const std::string shown = fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
    return "Replace existing layout \"" + shown + "\"?";
}

std::string SaveShortcutsQuestion(int total, int selected)
{
    const int count = selected != 0 ? selected : total;
    const char* plural = count == 1 ? "" : "s";
    const char* suffix = selected == 0 || selected == total ? " (entire desktop)" : "";
    char text[128];
    snprintf(text, sizeof text, "Save layout with %d shortcut%s%s?", count, plural, suffix);
    return text;
}

LayoutNameProblem CheckLayoutFileName(const std::string& fileName, size_t programFolderChars)
{
    if (fileName.empty())
        return LayoutNameProblem::kEmpty;
    for (char c : fileName) {
        if (static_cast<unsigned char>(c) < 32 || strchr("\\/:*?\"<>|", c) != nullptr)
            return LayoutNameProblem::kBadCharacter;
    }
    // programFolder \ Positions \ fileName: both folder names are 9 characters.
    // Characters as the system counts them, whatever bytes they take in UTF-8.
    const size_t nameChars = Utf16Length(fileName);
    const size_t pathChars = programFolderChars + 1 + strlen(LayoutFolderName(kPositionsLayout)) + 1 + nameChars;
    if (nameChars > kMaxLayoutFileNameChars || pathChars > kMaxLayoutPathChars)
        return LayoutNameProblem::kTooLong;
    if (IsDeviceName(fileName.c_str()))
        return LayoutNameProblem::kDeviceName;
    return LayoutNameProblem::kNone;
}

const char* LayoutNameProblemText(LayoutNameProblem problem)
{
    switch (problem) {
    case LayoutNameProblem::kNone: return "";
    case LayoutNameProblem::kEmpty: return "Please type a name for the layout.";
    case LayoutNameProblem::kBadCharacter:
        return "A layout name cannot contain any of these characters:\n\\ / : * ? \" < > |";
    case LayoutNameProblem::kDeviceName: return "This name is reserved by Windows and cannot be used for a layout.";
    case LayoutNameProblem::kTooLong: return "The layout name is too long. Please choose a shorter name.";
    }
    return "";
}
